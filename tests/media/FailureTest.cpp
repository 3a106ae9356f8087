// Joins that cannot succeed: they fail with a message that says why, leave
// no output behind and keep FFmpeg's own complaints off the terminal.
#include "MediaFixture.h"
#include "media/EMediaJoin.h"
#include "media/JoinInProcess.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace {

std::string RandomBytes(std::size_t count)
{
    std::mt19937 generator(7);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

// Everything written to the standard error while it lives, from this
// process and the libraries in it.
class TStandardErrorCapture {
public:
    explicit TStandardErrorCapture(std::string file) : file_(std::move(file))
    {
        std::fflush(stderr);
        saved_ = ::dup(2);
        const int capture = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(capture, 2);
        ::close(capture);
    }
    ~TStandardErrorCapture() { Restore(); }

    std::string Text()
    {
        Restore();
        return FileBytes(file_);
    }

private:
    void Restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }

    std::string file_;
    int saved_ = -1;
};

// The wording of the failure, or what went wrong instead.
std::string FailureOf(const TJoinRequest& request, std::string* message = nullptr)
{
    try {
        JoinMediaInProcess(request);
    } catch (const EMediaJoin& failure) {
        if (message)
            *message = failure.Message();
        return failure.Wording();
    } catch (const std::exception& other) {
        return std::string("other failure: ") + other.what();
    }
    return "no failure";
}

struct TDamageCase {
    const char* name;
    TSegmentKind kind;
    // Changes the input's pieces (its files are those of a 3-second clip).
    std::function<void(TMediaInput&, const std::string& folder)> damage;
    const char* wording;
};

class DamagedPiecesTest : public MediaFixture, public ::testing::WithParamInterface<TDamageCase> {};

TEST_P(DamagedPiecesTest, FailWithAMessageAndLeaveNoFile)
{
    const TDamageCase& row = GetParam();
    TMediaInput input = InputOf(MakeClip("clip", 3, kH264Aac, row.kind));
    row.damage(input, folder.path.string());
    const TJoinRequest request = RequestFor({input});

    TStandardErrorCapture standardError(folder.File("stderr"));
    std::string message;
    EXPECT_EQ(FailureOf(request, &message), row.wording);
    EXPECT_EQ(standardError.Text(), "");
    EXPECT_FALSE(std::filesystem::exists(request.Output));
    EXPECT_EQ(message.find("%s"), std::string::npos) << message;
}

void Overwrite(const TMediaPiece& piece, const std::string& bytes)
{
    std::ofstream(piece.File, std::ios::binary | std::ios::trunc) << bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedPiecesTest,
    ::testing::Values(
        // Nothing a demuxer knows.
        TDamageCase{"NotMedia", skTs,
                    [](TMediaInput& input, const std::string&) {
                        for (TMediaPiece& piece : input.Groups[0].Pieces)
                            Overwrite(piece, RandomBytes(piece.Length));
                    },
                    "The pieces of the video could not be read (%s)."},
        // The MP4 demuxer reads garbage as one large box and skips it:
        // without a check, a segment would go missing without a word.
        TDamageCase{"GarbageAmongFragments", skFmp4,
                    [](TMediaInput& input, const std::string&) {
                        const TMediaPiece& piece = input.Groups[0].Pieces[2];
                        Overwrite(piece, RandomBytes(piece.Length));
                    },
                    "The pieces of the video are damaged: nothing could be read from %s at byte %s."},
        // A fragment whose data ends before its index says.
        TDamageCase{"CutFragment", skFmp4,
                    [](TMediaInput& input, const std::string&) {
                        TMediaPiece& piece = input.Groups[0].Pieces[2];
                        Overwrite(piece, FileBytes(piece.File).substr(0, piece.Length / 2));
                        piece.Length /= 2;
                    },
                    "The pieces of the video are damaged (%s)."},
        // Offsets and lengths that do not fit the file.
        TDamageCase{"PieceBeyondItsFile", skTs,
                    [](TMediaInput& input, const std::string&) { input.Groups[0].Pieces[1].Length += 1; },
                    "A piece of the video lies outside its file %s."},
        TDamageCase{"NegativeOffset", skTs,
                    [](TMediaInput& input, const std::string&) { input.Groups[0].Pieces[1].Offset = -1; },
                    "A piece of the video lies outside its file %s."},
        TDamageCase{
            "MissingFile", skTs,
            [](TMediaInput& input, const std::string& folder) { input.Groups[0].Pieces[1].File = folder + "/gone.ts"; },
            "The file %s that holds pieces of the video could not be opened (%s)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MediaFixture, RefusesToWriteOverItsOwnPieces)
{
    TJoinRequest request = RequestFor({InputOf(MakeClip("clip", 1, kH264Aac, skTs))});
    request.Output = request.Inputs[0].Groups[0].Pieces[0].File;
    const std::string before = FileBytes(request.Output);
    EXPECT_EQ(FailureOf(request), "The video cannot be saved into the file that holds its pieces, %s.");
    EXPECT_EQ(FileBytes(request.Output), before);
}

struct TRefusalCase {
    const char* name;
    std::vector<std::string> codecs;
    TSegmentKind kind;
    TContainer asked;
    const char* message;
};

class ContainerRefusalTest : public MediaFixture, public ::testing::WithParamInterface<TRefusalCase> {};

TEST_P(ContainerRefusalTest, NamesTheCodecTheContainerCannotHold)
{
    const TRefusalCase& row = GetParam();
    TJoinRequest request = RequestFor({InputOf(MakeClip("clip", 1, row.codecs, row.kind))});
    request.Container = row.asked;
    std::string message;
    EXPECT_EQ(FailureOf(request, &message), "The %s codec of this video cannot be saved as %s.");
    EXPECT_EQ(message, row.message);
    EXPECT_FALSE(std::filesystem::exists(request.Output));
}

INSTANTIATE_TEST_SUITE_P(Refusals, ContainerRefusalTest,
                         ::testing::Values(TRefusalCase{"Mpeg2AsMp4", kMpeg2Mp2, skTs, ctMp4,
                                                        "The mpeg2video codec of this video cannot be saved as MP4."},
                                           TRefusalCase{"H264AsWebm", kH264Aac, skTs, ctWebm,
                                                        "The h264 codec of this video cannot be saved as WebM."}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MediaFixture, AskedContainerIsUsedWhenItHoldsTheCodecs)
{
    TJoinRequest request = RequestFor({InputOf(MakeClip("clip", 1, kH264Aac, skTs))});
    request.Container = ctMatroska;
    EXPECT_EQ(JoinMediaInProcess(request).Container, ctMatroska);
    EXPECT_EQ(Probe(request.Output)["format_name"], "matroska,webm");
}

// Cancelled at the first question, and once half the input was read, when
// the output had been written to for a while.
class CancelTest : public MediaFixture, public ::testing::WithParamInterface<double> {};

TEST_P(CancelTest, StopsAndLeavesNoFile)
{
    const double share = GetParam();
    TJoinRequest request = RequestFor({InputOf(MakeClip("clip", 3, kH264Aac, skTs))});
    std::int64_t consumed = 0;
    std::int64_t total = 1;
    bool outputWritten = false;
    request.Progress = [&](std::int64_t now, std::int64_t all) {
        consumed = now;
        total = all;
    };
    request.Cancelled = [&] {
        if (consumed < share * total)
            return false;
        outputWritten = std::filesystem::exists(request.Output);
        return true;
    };
    EXPECT_THROW(JoinMediaInProcess(request), EAbort);
    EXPECT_FALSE(std::filesystem::exists(request.Output));
    EXPECT_EQ(outputWritten, share > 0);
}

INSTANTIATE_TEST_SUITE_P(Moments, CancelTest, ::testing::Values(0.0, 0.5));

} // namespace
