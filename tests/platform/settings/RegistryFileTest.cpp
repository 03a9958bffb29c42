// SPDX-License-Identifier: MIT
// The settings file's text: what it says, what a bad line is, and edits that
// change only their own lines.

#include "AllocationCounter.h"

#include "platform/settings/RegistryErrors.h"
#include "platform/settings/RegistryFile.h"
#include "platform/settings/Utf16Text.h"

#include <gtest/gtest.h>

using namespace dw::platform;

namespace {

const std::string header = "Windows Registry Editor Version 5.00\n\n";

RegistryFile parse(const std::string& text) { return RegistryFile::fromBytes(text, "test.reg"); }

std::string wide(const std::string& text) { return utf16LeFromUtf8(text); }

TEST(RegistryFileReading, TakesEveryKindOfValue)
{
    const RegistryFile file = parse(header
        + "; a comment\n"
        + "[HKEY_CURRENT_USER]\n\"Root\"=\"r\"\n"
        + "[HKEY_CURRENT_USER\\Software\\Quillfen\\Datewright 2]\n"
        + "\"Plain\"=\"C:\\\\Cal \\\"x\\\"\"\n"
        + "\"Lone\"=\"C:\\Cal\"\n"
        + "@=\"default\"\n"
        + "\"Number\"=dword:0000002A\n"
        + "\"Bytes\"=hex:01,ff,\\\n"
        + "  10\n"
        + "\"Expand\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00\n"
        + "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
        + "\"Wide\"=hex(b):01,02,03,04,05,06,07,08\n");
    const std::string key = "software\\QUILLFEN\\datewright 2";
    EXPECT_EQ(file.value(key, "plain"), RegistryValue::string("C:\\Cal \"x\""));
    EXPECT_EQ(file.value(key, "Lone"), RegistryValue::string("C:\\Cal"));
    EXPECT_EQ(file.value(key, ""), RegistryValue::string("default"));
    EXPECT_EQ(file.value(key, "Number"), RegistryValue::dword(42));
    EXPECT_EQ(file.value(key, "Bytes"), RegistryValue::binary("\x01\xff\x10"));
    EXPECT_EQ(file.value(key, "Expand"), RegistryValue::expandString("%HOME%"));
    EXPECT_EQ(file.value(key, "Multi"), RegistryValue::multiString({"a", "b"}));
    EXPECT_EQ(file.value(key, "Wide"), RegistryValue::raw(11, "\x01\x02\x03\x04\x05\x06\x07\x08"));
    EXPECT_FALSE(file.value(key, "Missing"));
    EXPECT_EQ(file.value("", "Root"), RegistryValue::string("r"));
    EXPECT_TRUE(file.hasKey("Software"));
    EXPECT_FALSE(file.hasKey("Software\\Other"));
}

TEST(RegistryFileReading, RemovalLinesTakeAwayKeysAndValues)
{
    const RegistryFile file = parse(header
        + "[A\\B]\n\"v\"=\"1\"\n\"w\"=\"2\"\n\"w\"=-\n"
        + "[A\\B\\C]\n"
        + "[-a\\b]\n\"orphan\"=\"3\"\n"
        + "[A\\D]\n\"v\"=\"4\"\n");
    EXPECT_FALSE(file.hasKey("A\\B"));
    EXPECT_FALSE(file.hasKey("A\\B\\C"));
    EXPECT_EQ(file.value("A\\D", "v"), RegistryValue::string("4"));
    EXPECT_FALSE(file.value("A\\D", "orphan"));
}

TEST(RegistryFileReading, TakesExportsSavedAsUtf16WithCrLfAndTheOldFormat)
{
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[K]\r\n\"Dir\"=\"/home/\xC3\xA5sa\"\r\n";
    EXPECT_EQ(parse("\xFF\xFE" + wide(text)).value("K", "Dir"), RegistryValue::string("/home/\xC3\xA5sa"));
    EXPECT_EQ(parse("\xEF\xBB\xBF" + text).value("K", "Dir"), RegistryValue::string("/home/\xC3\xA5sa"));
    const RegistryFile old = parse("REGEDIT4\n[K]\n\"E\"=hex(2):25,41,25,00\n");
    EXPECT_EQ(old.value("K", "E"), RegistryValue::expandString("%A%"));
}

TEST(RegistryFileReading, ABadLineIsNamedWithItsNumber)
{
    const std::vector<std::pair<std::string, std::size_t>> cases = {
        {"REGEDIT5\n", 1},
        {header + "\"v\"=\"value before any key\"\n", 3},
        {header + "[K]\n\"v\"=\"no end\n", 4},
        {header + "[K]\n\"v\"=dword:123456789\n", 4},
        {header + "[K]\n\"v\"=qword:1\n", 4},
        {header + "[K]\n\"v\"=hex:1,zz\n", 4},
        {header + "[K]\n\"v\"=hex:01,\\\n  02,\\\n", 5},
        {header + "[K]\n\"v\" \"x\"\n", 4},
        {header + "[K]\nplain words\n", 4},
        {header + "[K\n", 3},
        {header + "[]\n", 3},
    };
    for (const auto& [text, line] : cases) {
        try {
            parse(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const ERegistryFileError& error) {
            EXPECT_EQ(error.line(), line) << text;
            EXPECT_NE(std::string(error.what()).find("test.reg at line " + std::to_string(line)), std::string::npos)
                << error.what();
        }
    }
}

TEST(RegistryFileReading, RemovingAKeyTakesWhatLiesBelowItAndKeepsItsParent)
{
    const RegistryFile file = parse(header
        + "[A\\B]\n\"v\"=\"1\"\n"
        + "[A\\B!]\n\"v\"=\"sorts between A\\B and what lies below it\"\n"
        + "[A\\B0]\n[A\\Bc]\n[A\\B\\C]\n\"v\"=\"2\"\n[A\\B\\C\\D]\n"
        + "[-a\\b]\n"
        + "[X\\Y\\Z]\n[-X\\Y\\Z]\n"
        + "[-Never\\Made]\n");
    EXPECT_TRUE(file.hasKey("A"));
    for (const char* gone : {"A\\B", "A\\B\\C", "A\\B\\C\\D", "X\\Y\\Z", "Never", "Never\\Made"})
        EXPECT_FALSE(file.hasKey(gone)) << gone;
    for (const char* kept : {"A\\B!", "A\\B0", "a\\bC", "X\\Y", "X"})
        EXPECT_TRUE(file.hasKey(kept)) << kept;
    EXPECT_EQ(file.value("A\\B!", "v"), RegistryValue::string("sorts between A\\B and what lies below it"));
    EXPECT_FALSE(file.value("A\\B\\C", "v"));

    const RegistryFile rootRemoved = parse(header + "[K]\n\"v\"=\"1\"\n[HKEY_CURRENT_USER]\n@=\"r\"\n"
                                           + "[-HKEY_CURRENT_USER]\n[After]\n");
    EXPECT_FALSE(rootRemoved.hasKey("K"));
    EXPECT_FALSE(rootRemoved.value("", ""));
    EXPECT_TRUE(rootRemoved.hasKey("After"));
}

TEST(RegistryFileReading, AHostileFileCostsNoMoreThanItsSizeAndLookupsDoNotReadItAgain)
{
    // One key of 20,000 levels: its ancestors are not each made.
    std::string deep = "[Software";
    while (deep.size() < 40000)
        deep += "\\k";
    const std::string keyLine = header + deep + "]\n\"v\"=\"1\"\n";
    std::size_t before = dw::test::bytesAllocated();
    const RegistryFile deepFile = parse(keyLine);
    EXPECT_TRUE(deepFile.hasKey("Software\\k\\k"));
    EXPECT_EQ(deepFile.value(deep.substr(1), "v"), RegistryValue::string("1"));
    EXPECT_LT(dw::test::bytesAllocated() - before, 32 * keyLine.size());

    // 2,000 keys and the removal of every other one, then lookups, which
    // find what the file says without going through it again.
    std::string text = header + "[Software\\Quillfen\\Datewright 2]\n\"Dir\"=\"/home/ann\"\n";
    const auto keyName = [](int i) { return "Software\\Many\\Group " + std::to_string(i % 50) + "\\Key " + std::to_string(i); };
    for (int i = 0; i < 2000; ++i)
        text += "[" + keyName(i) + "]\n\"v\"=\"" + std::to_string(i) + "\"\n";
    for (int i = 0; i < 2000; i += 2)
        text += "[-" + keyName(i) + "]\n";
    const RegistryFile many = parse(text);
    before = dw::test::bytesAllocated();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(many.hasKey(keyName(i)), i % 2 == 1);
        EXPECT_EQ(many.value("Software\\Quillfen\\Datewright 2", "dir"), RegistryValue::string("/home/ann"));
    }
    EXPECT_LT(dw::test::bytesAllocated() - before, 100 * 512u);
}

TEST(RegistryFileEditing, AKeyIsAddedAtTheEndAndEveryOtherByteIsKept)
{
    const std::string original = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n; mine\r\n[Other]\r\n\"x\"=dword:1";
    RegistryFile file = parse(original);
    EXPECT_TRUE(file.createKey("Software\\Quillfen"));
    EXPECT_EQ(file.bytes(), original + "\r\n\r\n[Software\\Quillfen]\r\n");
    EXPECT_FALSE(file.createKey("software\\quillfen"));
    EXPECT_FALSE(file.createKey("Other"));

    RegistryFile empty;
    EXPECT_TRUE(empty.createKey("Software\\Quillfen"));
    EXPECT_EQ(empty.bytes(), "Windows Registry Editor Version 5.00\n\n[Software\\Quillfen]\n");

    const std::string wideOriginal = "\xFF\xFE" + wide("Windows Registry Editor Version 5.00\r\n");
    RegistryFile wideFile = parse(wideOriginal);
    wideFile.createKey("K");
    EXPECT_EQ(wideFile.bytes(), wideOriginal + wide("\r\n[K]\r\n"));
}

TEST(RegistryFileEditing, AValueIsReplacedWhereItStandsOrAddedToItsKeysLastSection)
{
    RegistryFile file = parse(header + "[K]\n\"v\"=hex:01,\\\n  02\n; keep\n[L]\n[K]\n\"w\"=\"1\"\n\n[M]\n");
    file.setValue("K", "v", RegistryValue::dword(7));
    file.setValue("k", "W", RegistryValue::string("2"));
    file.setValue("K", "new", RegistryValue::string("3"));
    file.setValue("N\\O", "n", RegistryValue::string("4"));
    EXPECT_EQ(file.bytes(), header + "[K]\n\"v\"=hex:01,\\\n  02\n; keep\n[L]\n[K]\n\"W\"=\"2\"\n"
                                     "\"v\"=dword:00000007\n\"new\"=\"3\"\n\n[M]\n\n[N\\O]\n\"n\"=\"4\"\n");
}

TEST(RegistryFileEditing, OddValuesReadBackExactly)
{
    const std::vector<std::string> texts = {
        "C:\\Users\\Ann \"Work\", 2024\\",
        "/home/\xC3\xA5sa/Kalender \xE2\x80\x93 \xF0\x9F\x93\x85",
        "/bytes/\xFF\xFE\x80 not UTF-8",
        "two\nlines and a NUL \0 inside",
        std::string(300, 'x'),
        "",
    };
    for (const auto& text : texts) {
        RegistryFile file;
        file.setValue("K", "Dir \"\\ name", RegistryValue::string(text));
        file.setValue("K", "E", RegistryValue::expandString(text));
        file.setValue("K", "M", RegistryValue::multiString({text, "", text}));
        const RegistryFile again = parse(file.bytes());
        EXPECT_EQ(again.value("K", "Dir \"\\ name"), RegistryValue::string(text)) << file.bytes();
        EXPECT_EQ(again.value("K", "E"), RegistryValue::expandString(text));
        EXPECT_EQ(again.value("K", "M"), RegistryValue::multiString({text, "", text}));
    }
}

// "61,62,..." for the bytes, as a hex(N) list has them.
std::string byteList(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string list;
    for (unsigned char byte : bytes)
        list += std::string(list.empty() ? "" : ",") + digits[byte >> 4] + digits[byte & 15];
    return list;
}

TEST(RegistryFileEditing, EachHeaderGetsStringsInItsOwnEncodingAndReadsThemBack)
{
    const std::string text = "%HOME%/K\xC3\xA5lender \xE2\x80\x93 \xF0\x9F\x93\x85 \xFF raw";
    // REGEDIT4 keeps 8-bit strings in its byte lists, version 5 UTF-16LE,
    // whether the file itself is saved as UTF-8 or as UTF-16.
    const std::vector<std::pair<std::string, std::string>> formats = {
        {"REGEDIT4\n\n[K]\n", text + '\0'},
        {header + "[K]\n", wide(text) + std::string(2, '\0')},
    };
    for (const auto& [start, expandBytes] : formats) {
        for (const bool wideFile : {false, true}) {
            RegistryFile file = parse(wideFile ? "\xFF\xFE" + wide(start) : start);
            file.setValue("K", "E", RegistryValue::expandString(text));
            const std::string added = "\"E\"=hex(2):" + byteList(expandBytes);
            std::string written = wideFile ? utf8FromUtf16Le(file.bytes().substr(2)) : file.bytes();
            written = written.substr(start.size());
            std::erase(written, '\\');
            std::erase(written, '\n');
            std::erase(written, ' ');
            EXPECT_EQ(written, added) << start;

            file.setValue("K", "Lines", RegistryValue::string(text + "\n2"));
            file.setValue("K", "Plain", RegistryValue::string(text));
            file.setValue("K", "Multi", RegistryValue::multiString({text, "", text}));
            const RegistryFile again = parse(file.bytes());
            EXPECT_EQ(again.value("K", "E"), RegistryValue::expandString(text)) << start << wideFile;
            EXPECT_EQ(again.value("K", "Lines"), RegistryValue::string(text + "\n2")) << start << wideFile;
            EXPECT_EQ(again.value("K", "Plain"), RegistryValue::string(text)) << start << wideFile;
            EXPECT_EQ(again.value("K", "Multi"), RegistryValue::multiString({text, "", text})) << start << wideFile;
        }
    }
}

TEST(Utf16Text, AnyEightBitStringComesBackAndPairsMakeOneCharacter)
{
    std::string every;
    for (int byte = 1; byte < 256; ++byte)
        every += char(byte);
    EXPECT_EQ(utf8FromUtf16Le(utf16LeFromUtf8(every)), every);
    EXPECT_EQ(utf16LeFromUtf8("\xF0\x9F\x93\x85"), std::string("\x3D\xD8\xC5\xDC", 4));
    EXPECT_EQ(utf8FromUtf16Le(std::string("\x3D\xD8\x41\x00", 4)), "\xEF\xBF\xBD" "A");
}

} // namespace
