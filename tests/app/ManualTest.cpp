// The manual pages and the shell completion stay true to the program: each
// names every option --help shows, and the completion nothing else.
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>

namespace {

std::string SourceFile(const std::string& path)
{
    return std::string(std::getenv("SKERROW_SOURCE_DIR")) + "/" + path;
}

// What a shell command writes to its standard output and error.
std::string Output(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char piece[4096];
    for (std::size_t count; (count = std::fread(piece, 1, sizeof piece, pipe)) > 0;)
        output.append(piece, count);
    ::pclose(pipe);
    return output;
}

// "-d" and "--download", wherever they stand in text.
std::set<std::string> OptionNames(const std::string& text)
{
    static const std::regex option(R"((?:^|[^A-Za-z0-9-])(--?[A-Za-z][A-Za-z-]*))");
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        names.insert((*it)[1]);
    return names;
}

// The options of --help: its lines that begin with one, before the column
// where descriptions start.
std::set<std::string> HelpOptions()
{
    std::istringstream help(Output("LANG=C.UTF-8 " SKERROW_BINARY " --help"));
    std::string names;
    for (std::string line; std::getline(help, line);)
        if (line.starts_with("  -"))
            names += line.substr(0, 30) + "\n";
    return OptionNames(names);
}

// A manual page's text with its escaped hyphens as hyphens.
std::string ManualText(const std::string& page)
{
    std::string text = FileBytes(SourceFile(page));
    for (std::size_t at; (at = text.find("\\-")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

std::set<std::string> LongOnly(const std::set<std::string>& names)
{
    std::set<std::string> longNames;
    for (const std::string& name : names)
        if (name.starts_with("--"))
            longNames.insert(name);
    return longNames;
}

} // namespace

TEST(Manual, EveryOptionOfTheHelpIsInBothManualPagesAndNoOtherIs)
{
    const std::set<std::string> help = HelpOptions();
    ASSERT_GE(help.size(), 15u) << "the help's options were not found";
    for (const char* page : {"docs/skerrow.1", "docs/skerrow.es.1"}) {
        SCOPED_TRACE(page);
        const std::set<std::string> manual = OptionNames(ManualText(page));
        for (const std::string& option : help)
            EXPECT_TRUE(manual.count(option)) << option << " is not described";
        // Short options run together in the examples ("-qhd") are no options
        // of their own; long ones are.
        for (const std::string& option : LongOnly(manual))
            EXPECT_TRUE(help.count(option)) << option << " is described but no option";
        EXPECT_EQ(Output("groff -man -ww -z -K utf8 '" + SourceFile(page) + "'"), "") << "troff's warnings";
    }
}

TEST(Manual, TheCompletionOffersEveryOptionOfTheHelpAndTheirValues)
{
    const std::string completion = SourceFile("desktop/skerrow.bash-completion");
    const std::string offered = FileBytes(completion);
    const std::string options = offered.substr(offered.find("local options="));
    EXPECT_EQ(OptionNames(options.substr(0, options.find("\"\n") + 1)), HelpOptions());

    const struct {
        const char* words; // what is typed, as bash's array
        const char* offered;
    } rows[] = {
        {"skerrow --qu", "--quality"},
        {"skerrow -d http://x -q h", "hq hd"},
        {"skerrow --quality=m", "--quality=mobile"},
        {"skerrow -i -q w", "worst"},
        {"skerrow --limit-rate ''", ""},
    };
    for (const auto& row : rows) {
        const std::string script = "source '" + completion + "'; COMP_WORDS=(" + row.words +
            "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _skerrow; echo -n \"${COMPREPLY[*]}\"";
        EXPECT_EQ(Output("bash -c '" + std::regex_replace(script, std::regex("'"), "'\\''") + "'"), row.offered)
            << row.words;
    }
}
