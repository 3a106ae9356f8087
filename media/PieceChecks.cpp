#include "media/PieceChecks.h"

#include "media/EMediaJoin.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <sys/stat.h>

namespace {

std::int64_t FileSize(const std::string& file)
{
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        throw EMediaJoin("The file %s that holds pieces of the video could not be opened (%s).",
                         {file, std::strerror(errno)});
    return status.st_size;
}

} // namespace

void CheckPieces(const std::vector<TMediaInput>& inputs)
{
    std::map<std::string, std::int64_t> sizes;
    for (const TMediaInput& input : inputs)
        for (const TMediaGroup& group : input.Groups)
            for (const TMediaPiece& piece : group.Pieces) {
                auto known = sizes.find(piece.File);
                if (known == sizes.end())
                    known = sizes.emplace(piece.File, FileSize(piece.File)).first;
                if (piece.Offset < 0 || piece.Length < 0 || piece.Offset > known->second ||
                    piece.Length > known->second - piece.Offset)
                    throw EMediaJoin("A piece of the video lies outside its file %s.", {piece.File});
            }
}

bool HoldsPieces(const std::string& file, const std::vector<TMediaInput>& inputs)
{
    struct stat output {};
    if (::stat(file.c_str(), &output) != 0)
        return false;
    std::set<std::string> checked;
    for (const TMediaInput& input : inputs)
        for (const TMediaGroup& group : input.Groups)
            for (const TMediaPiece& piece : group.Pieces) {
                struct stat holder {};
                if (checked.insert(piece.File).second && ::stat(piece.File.c_str(), &holder) == 0 &&
                    holder.st_dev == output.st_dev && holder.st_ino == output.st_ino)
                    return true;
            }
    return false;
}
