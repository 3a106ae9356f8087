#include "app/CommandLineParser.h"

#include "app/ProgramText.h"

#include <algorithm>

namespace {

// The characters of UTF-8 text: its bytes that begin one.
std::size_t CharacterCount(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The help: usage, what the program does, the options by group, the exit
// statuses; and the names of an option as "-d, --download".
class THelpFormatter : public CLI::Formatter {
public:
    THelpFormatter() { column_width(30); }

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const override
    {
        std::string groups = make_groups(app, mode);
        // CLI11 leaves two blank lines between groups; one reads better.
        for (std::size_t at; (at = groups.find("\n\n\n")) != std::string::npos;)
            groups.erase(at, 1);
        return Tr("Usage: skerrow -d ADDRESS... [OPTIONS]\n"
                  "       skerrow --batch-file FILE [OPTIONS]\n"
                  "       skerrow -i [-j] ADDRESS... [OPTIONS]\n"
                  "       skerrow [--site-host=HOST[:PORT]] [ADDRESS]      (the windows)\n") +
            "\n" + app->get_description() + groups + "\n" + app->get_footer();
    }

    // As CLI11 lays an option out, but measured in characters, not bytes:
    // translated value names ("DIRECCIÓN") keep the column.
    std::string make_option(const CLI::Option* option, bool positional) const override
    {
        const std::string name = "  " + make_option_name(option, positional) + make_option_opts(option);
        const std::size_t column = get_column_width();
        const std::size_t width = CharacterCount(name);
        // Two blanks at least between a name and its description.
        const bool fits = width + 2 <= column;
        std::string text = name + (fits ? std::string(column - width, ' ') : "\n" + std::string(column, ' '));
        for (char c : make_option_desc(option))
            text += c == '\n' ? "\n" + std::string(column, ' ') : std::string(1, c);
        return text + "\n";
    }

    std::string make_option_name(const CLI::Option* option, bool positional) const override
    {
        std::string names = CLI::Formatter::make_option_name(option, positional);
        for (std::size_t at = 0; (at = names.find(',', at)) != std::string::npos; at += 2)
            names.replace(at, 1, ", ");
        return names;
    }
};

// An option that takes one value: the last one given counts.
CLI::Option* Single(CLI::App& app, const std::string& names, std::string& field, const std::string& value,
                    const std::string& description)
{
    return app.add_option(names, field, description)
        ->option_text(value)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void DescribeWhatToSave(CLI::App& app, TCommandLineArguments& arguments)
{
    const std::string group = Tr("What to save");
    app.add_option("-d,--download", arguments.Download,
                   Tr("save the videos of these addresses, one\n"
                      "after another"))
        ->option_text(Tr("ADDRESS..."))
        ->group(group);
    Single(app, "--batch-file", arguments.BatchFile, Tr("FILE"),
           Tr("save the addresses FILE lists, one a line (-\n"
              "reads them from standard input; blank lines\n"
              "and lines beginning with # are skipped)"))
        ->group(group);
    // With --info, the addresses may stand alone.
    app.add_option("words", arguments.Words)->group("");
}

void DescribeWhatToTell(CLI::App& app, TCommandLineArguments& arguments)
{
    const std::string group = Tr("What to tell");
    app.add_flag("-i,--info", arguments.Info,
                 Tr("tell what the addresses hold instead of saving\n"
                    "it: the kind, the title, the formats, the\n"
                    "audio, and what the quality takes"))
        ->group(group);
    app.add_flag("-j,--json", arguments.Json,
                 Tr("with --info: as JSON, one object a line for\n"
                    "each address"))
        ->group(group);
}

void DescribeHowToSave(CLI::App& app, TCommandLineArguments& arguments)
{
    const std::string group = Tr("How to save");
    Single(app, "-q,--quality", arguments.Quality, Tr("QUALITY"),
           Tr("normal (FLV), mobile (3GP), hq (MP4 480x360,\n"
              "the default) or hd (MP4 1280x720 where the site\n"
              "has it, else hq); best, worst, or a height such\n"
              "as 720 or 720p for the size nearest it (the\n"
              "smaller of two as near); on another page with\n"
              "several sizes or a stream: hd the largest, hq\n"
              "the nearest 360 lines, normal and mobile the\n"
              "smallest; not for direct links"))
        ->group(group);
    Single(app, "-o,--output", arguments.Output, Tr("FILE_OR_FOLDER"),
           Tr("the file to write, or a folder for the proposed\n"
              "name (default: the proposed name in the current\n"
              "folder); with several addresses, an existing\n"
              "folder"))
        ->group(group);
    app.add_flag("-f,--force", arguments.Force, Tr("replace a file that exists already"))->group(group);
    app.add_flag("--no-continue", arguments.NoContinue,
                 Tr("start over instead of continuing what an earlier\n"
                    "run left"))
        ->group(group);
    app.add_flag("--no-history", arguments.NoHistory, Tr("leave the download out of the history"))->group(group);
}

void DescribeNetwork(CLI::App& app, TCommandLineArguments& arguments)
{
    const std::string group = Tr("Network");
    Single(app, "--limit-rate", arguments.LimitRate, Tr("RATE"), Tr("receive at most RATE bytes a second (500K, 2M)"))
        ->group(group);
    Single(app, "-N,--connections", arguments.Connections, Tr("COUNT"),
           Tr("how many connections one download may use at\n"
              "once, from 1 to 16 (default 4): a large file\n"
              "comes in that many ranges where the server\n"
              "allows"))
        ->group(group);
    Single(app, "--proxy", arguments.Proxy, "URL",
           Tr("go through this http proxy\n"
              "(http://[USER:PASSWORD@]HOST:PORT) instead of\n"
              "those http_proxy, https_proxy and all_proxy\n"
              "name; '' for none"))
        ->group(group);
    Single(app, "--site-host", arguments.SiteHost, Tr("HOST[:PORT]"),
           Tr("the video site's host, for a stand-in of the site"))
        ->group(group);
}

} // namespace

void DescribeOptions(CLI::App& app, TCommandLineArguments& arguments)
{
    app.formatter(std::make_shared<THelpFormatter>());
    app.set_help_flag();
    app.allow_extras();
    app.description(Tr("Saves, without opening a window, the video of a watch-page address, the file of\n"
                       "a direct link to a video (an http or https address ending in .mp4, .webm, ...),\n"
                       "or the video that any other web page shows.\n"));
    app.footer(Tr("Exit status: 0 saved (with --info: told), 2 bad arguments, 3 address not\n"
                  "accepted, 4 resolution failed, 5 download failed, 6 the file exists already,\n"
                  "130 cancelled; with several addresses, the status of the first that was not\n"
                  "saved (told).\n"));
    DescribeWhatToSave(app, arguments);
    DescribeWhatToTell(app, arguments);
    DescribeHowToSave(app, arguments);
    DescribeNetwork(app, arguments);
    const std::string group = Tr("Other");
    app.add_flag("-h,--help", arguments.Help, Tr("show this help"))->group(group);
    app.add_flag("-V,--version", arguments.Version, Tr("show the version"))->group(group);
}
