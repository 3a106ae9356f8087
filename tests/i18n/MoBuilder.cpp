#include "MoBuilder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace test {

namespace {

void PutWord(std::string& out, std::size_t at, std::uint32_t value, bool bigEndian)
{
    for (int i = 0; i < 4; ++i) {
        int shift = bigEndian ? 24 - 8 * i : 8 * i;
        out[at + i] = static_cast<char>((value >> shift) & 0xFF);
    }
}

std::string PoQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (c == '\n' || c == '\t') {
            quoted += c == '\n' ? "\\n" : "\\t";
            continue;
        }
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::string MoBytes(const TEntries& entries, bool bigEndian)
{
    const std::size_t n = entries.size();
    const std::size_t msgidTable = 28;
    const std::size_t translationTable = msgidTable + 8 * n;
    std::string out(translationTable + 8 * n, '\0');
    PutWord(out, 0, 0x950412de, bigEndian);
    PutWord(out, 8, static_cast<std::uint32_t>(n), bigEndian);
    PutWord(out, 12, msgidTable, bigEndian);
    PutWord(out, 16, static_cast<std::uint32_t>(translationTable), bigEndian);
    for (std::size_t i = 0; i < n; ++i) {
        for (int column = 0; column < 2; ++column) {
            const std::string& text = column == 0 ? entries[i].first : entries[i].second;
            std::size_t entry = (column == 0 ? msgidTable : translationTable) + 8 * i;
            PutWord(out, entry, static_cast<std::uint32_t>(text.size()), bigEndian);
            PutWord(out, entry + 4, static_cast<std::uint32_t>(out.size()), bigEndian);
            out += text;
            out += '\0';
        }
    }
    return out;
}

std::string MakeTempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "skerrow-i18n-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern + "/";
}

void RemoveFolder(const std::string& folder)
{
    std::filesystem::remove_all(folder);
}

void WriteFile(const std::string& fileName, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(fileName).parent_path());
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool CompilePo(const std::string& poText, const std::string& fileName)
{
    std::string po = fileName + ".po";
    WriteFile(po, poText);
    std::string command = "msgfmt -o '" + fileName + "' '" + po + "'";
    return std::system(command.c_str()) == 0;
}

std::string PoText(const TEntries& entries, const std::string& charset)
{
    std::string po = "msgid \"\"\nmsgstr \"\"\n\"Project-Id-Version: test\\n\"\n"
                     "\"MIME-Version: 1.0\\n\"\n\"Content-Type: text/plain; charset=" +
        charset + "\\n\"\n\"Content-Transfer-Encoding: 8bit\\n\"\n\n";
    for (const auto& [msgid, msgstr] : entries)
        po += "msgid " + PoQuoted(msgid) + "\nmsgstr " + PoQuoted(msgstr) + "\n\n";
    return po;
}

} // namespace test
