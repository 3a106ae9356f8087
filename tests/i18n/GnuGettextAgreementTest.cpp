// Catalogues built by msgfmt from po files that the test writes: every text
// looked up through TMoFile gives what Python's gettext module, reading the
// same catalogue, gives.

#include "MoBuilder.h"

#include "i18n/TMoFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>

namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex.empty() ? "-" : hex;
}

// Asks Python's gettext for the translation of each msgid, hex in and out.
std::vector<std::string> PythonTranslations(const std::string& folder, const std::string& mo,
                                            const std::vector<std::string>& msgids)
{
    std::string list;
    for (const std::string& msgid : msgids)
        list += Hex(msgid) + "\n";
    test::WriteFile(folder + "msgids.txt", list);
    test::WriteFile(folder + "ask.py",
                    "import gettext, sys\n"
                    "t = gettext.GNUTranslations(open(sys.argv[1], 'rb'))\n"
                    "for line in open(sys.argv[2]):\n"
                    "    h = line.strip()\n"
                    "    m = '' if h == '-' else bytes.fromhex(h).decode('utf-8')\n"
                    "    r = t.gettext(m).encode('utf-8').hex()\n"
                    "    print(r if r else '-')\n");
    std::string command =
        "python3 '" + folder + "ask.py' '" + mo + "' '" + folder + "msgids.txt' > '" + folder + "answers.txt'";
    if (std::system(command.c_str()) != 0)
        return {};
    std::vector<std::string> answers;
    std::istringstream lines(test::ReadFile(folder + "answers.txt"));
    for (std::string line; std::getline(lines, line);)
        answers.push_back(line);
    return answers;
}

std::string RandomText(std::mt19937& random)
{
    static const std::vector<std::string> pieces = {"a",
                                                    "Z",
                                                    "0",
                                                    " ",
                                                    "  ",
                                                    "-",
                                                    ":",
                                                    "%s",
                                                    "%%",
                                                    "\"",
                                                    "\\",
                                                    "\t",
                                                    "\n",
                                                    "é",
                                                    "ñ",
                                                    "Ü",
                                                    "€",
                                                    "日本",
                                                    "<a href=\"x\">",
                                                    "~",
                                                    "Open"};
    std::string text;
    int length = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < length; ++i)
        text += pieces[random() % pieces.size()];
    return text;
}

// msgfmt wants a translation to begin and end with a line feed exactly when
// its msgid does.
std::string Translation(const std::string& msgid)
{
    std::size_t inside = msgid.find_first_not_of('\n');
    if (inside == std::string::npos)
        return msgid + msgid;
    return msgid.substr(0, inside) + "[" + msgid.substr(inside);
}

} // namespace

TEST(GnuGettextAgreement, LookupsMatchPythonGettextOnMsgfmtCatalogues)
{
    if (std::system("python3 -c pass 2>/dev/null") != 0 || std::system("msgfmt --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 or msgfmt missing";
    std::mt19937 random(6);
    std::string folder = test::MakeTempFolder();
    for (std::size_t count : {0, 1, 2, 3, 27, 400}) {
        SCOPED_TRACE("entries " + std::to_string(count));
        std::set<std::string> unique;
        while (unique.size() < count)
            unique.insert(RandomText(random));
        test::TEntries entries;
        for (const std::string& msgid : unique)
            entries.push_back({msgid, Translation(msgid)});
        std::string mo = folder + "c" + std::to_string(count) + ".mo";
        ASSERT_TRUE(test::CompilePo(test::PoText(entries), mo));

        std::vector<std::string> msgids(unique.begin(), unique.end());
        for (int i = 0; i < 50; ++i)
            msgids.push_back(RandomText(random) + "?");
        std::vector<std::string> expected = PythonTranslations(folder, mo, msgids);
        ASSERT_EQ(expected.size(), msgids.size());

        TMoFile catalogue(mo, 0, 0);
        for (std::size_t i = 0; i < msgids.size(); ++i) {
            bool found = false;
            EXPECT_EQ(Hex(catalogue.Lookup(msgids[i], found)), expected[i]) << msgids[i];
        }
    }
    test::RemoveFolder(folder);
}
