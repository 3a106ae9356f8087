#pragma once

#include "media/MediaJoin.h"
#include "support/ChildProcess.h"
#include "support/ScratchFolder.h"

#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Real media for the joiner's tests, made and checked by Debian's ffmpeg and
// ffprobe.

// What a command wrote on its standard output; its standard error is
// dropped. The exit status goes to *status when asked for.
inline std::string CommandOutput(std::vector<std::string> words, int* status = nullptr)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipe[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::close(pipe[0]);
        ExecCommand(words);
    }
    ::close(pipe[1]);
    std::string output;
    char buffer[65536];
    for (ssize_t count; (count = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, count);
    ::close(pipe[0]);
    int result = -1;
    ::waitpid(child, &result, 0);
    if (status)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

// Runs ffmpeg quietly with the arguments; true when it succeeded.
inline bool Ffmpeg(std::vector<std::string> arguments)
{
    std::vector<std::string> words = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    int status = -1;
    CommandOutput(words, &status);
    return status == 0;
}

// The test pattern and a tone, seconds long, as ffmpeg's inputs.
inline std::vector<std::string> TestSources(int seconds, const std::string& pattern = "testsrc2")
{
    const std::string duration = ":duration=" + std::to_string(seconds);
    return {"-f", "lavfi", "-i", pattern + "=size=160x90:rate=25" + duration,
            "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100" + duration};
}

// The hashes of the decoded frames of one kind ("v" or "a") of a file or
// playlist, in order; their timestamps are left out.
inline std::vector<std::string> FrameHashes(const std::string& source, const std::string& kind = "v")
{
    const std::string output = CommandOutput(
        {"ffmpeg", "-nostdin", "-i", source, "-map", "0:" + kind, "-fps_mode", "passthrough", "-f", "framemd5", "-"});
    std::vector<std::string> hashes;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] != '#')
            hashes.push_back(line.substr(line.rfind(',') + 1));
    return hashes;
}

// What ffprobe tells of a file: "format_name", "duration", and per stream
// "codec_name.N", "codec_type.N", "nb_read_packets.N".
inline std::map<std::string, std::string> Probe(const std::string& file)
{
    const std::string output = CommandOutput(
        {"ffprobe", "-v", "error", "-count_packets", "-show_entries",
         "format=format_name,duration:stream=codec_name,codec_type,nb_read_packets", "-of", "flat=s=_", file});
    std::map<std::string, std::string> facts;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"')
            value = value.substr(1, value.size() - 2);
        // streams_stream_0_codec_name -> codec_name.0, format_duration -> duration
        if (key.rfind("streams_stream_", 0) == 0) {
            const std::string rest = key.substr(15);
            const std::size_t underscore = rest.find('_');
            key = rest.substr(underscore + 1) + "." + rest.substr(0, underscore);
        } else if (key.rfind("format_", 0) == 0) {
            key = key.substr(7);
        }
        facts[key] = value;
    }
    return facts;
}

// The files an HLS playlist names, in order, its init section first.
inline std::vector<std::string> PlaylistFiles(const std::string& playlist)
{
    const std::string folder = playlist.substr(0, playlist.rfind('/') + 1);
    std::vector<std::string> files;
    std::istringstream lines(FileBytes(playlist));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("#EXT-X-MAP:URI=\"", 0) == 0)
            files.push_back(folder + line.substr(16, line.find('"', 16) - 16));
        else if (!line.empty() && line[0] != '#')
            files.push_back(folder + line);
    }
    return files;
}

// A group whose pieces are whole files.
inline TMediaGroup GroupOfFiles(const std::vector<std::string>& files)
{
    TMediaGroup group;
    for (const std::string& file : files)
        group.Pieces.push_back({file, 0, static_cast<std::int64_t>(FileBytes(file).size())});
    return group;
}

// Files copied one after another into one part file, as the download
// component stores them: each file becomes a piece at its offset.
class TPartFile {
public:
    explicit TPartFile(std::string path) : path_(std::move(path)) { std::ofstream(path_, std::ios::binary); }

    TMediaPiece Append(const std::string& file)
    {
        const std::string bytes = FileBytes(file);
        std::ofstream out(path_, std::ios::binary | std::ios::app);
        out << bytes;
        TMediaPiece piece{path_, size_, static_cast<std::int64_t>(bytes.size())};
        size_ += piece.Length;
        return piece;
    }

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::int64_t size_ = 0;
};
