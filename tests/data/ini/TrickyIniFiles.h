// Settings files that probe the rules of the system's private-profile reader, with
// what GetPrivateProfileStringA (2048-byte buffer, code page 932) returns for each
// lookup. The host tests hold our reader to these values; under Wine the comparison
// test holds the system's reader and ours to them and to each other.
#pragma once

#include <string>
#include <vector>

struct IniLookup {
    std::string section;
    std::string key;
    std::string expected;
};

struct TrickyIniFile {
    std::string name;
    std::string bytes;
    std::vector<IniLookup> lookups;
    // Set where Wine's reader is known to differ from Windows' on this file; the
    // expected values are those of Windows.
    std::string wineDiffers = {};
};

// The default the lookups pass: it shows where the system finds no value.
inline const char kAbsent[] = "(absent)";

// A file saved as UTF-16 LE with its byte-order mark.
inline std::string Utf16File(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

inline std::vector<TrickyIniFile> TrickyIniFiles() {
    using namespace std::string_literals;
    const std::string a = "あ";  // two bytes in code page 932
    std::string manyA;
    for (int i = 0; i < 1500; ++i) {
        manyA += a;
    }
    return {
        {"line breaks",
         "[S]\r\nCrLf=1\r\nLf=2\nCr=3\rLfCr=4\n\rBlankLines=5\r\n\r\n\n\rLast=6",
         {{"S", "CrLf", "1"},
          {"S", "Lf", "2"},
          {"S", "Cr", "3"},
          {"S", "LfCr", "4"},
          {"S", "BlankLines", "5"},
          {"S", "Last", "6"}}},
        {"blanks",
         "  [ S ]  \r\n  Key  =  a  b  \r\n\tTab\t=\tx\t\r\nEmpty=\r\nBlank =   \r\n"
         "NoEquals\r\n\x0B\x0C"
         "Controls\x0B=\x0C"
         "y\x0B\r\nWide=\x81\x40z\x81\x40\r\n",
         {{"S", "Key", "a  b"},
          {"S", "Tab", "x"},
          {"S", "Empty", ""},
          {"S", "Blank", ""},
          {"S", "NoEquals", kAbsent},
          {"S", "Controls", "y"},
          {"S", "Wide", "\x81\x40z\x81\x40"},  // the full-width space is no blank
          {"S", "Missing", kAbsent}}},
        {"quotes",
         "[Q]\r\nDouble=\"a b\"\r\nSingle='a b'\r\nMixed=\"a'\r\nLone=\"\r\nEmpty=\"\"\r\n"
         "Inner=a\"b\"\r\nBoth=\"a\"b\"\r\nSpaced= \" a \" \r\nJapanese=\"ソフト\"\r\n",
         {{"Q", "Double", "a b"},
          {"Q", "Single", "a b"},
          {"Q", "Mixed", "\"a'"},
          {"Q", "Lone", "\""},
          {"Q", "Empty", ""},
          {"Q", "Inner", "a\"b\""},
          {"Q", "Both", "a\"b"},
          {"Q", "Spaced", " a "},
          {"Q", "Japanese", "ソフト"}}},
        {"comment lines",
         "; settings\r\n[C]\r\n;Key=commented\r\nKey=real\r\n; [Other]\r\nAfter=1\r\n"
         "# not a comment=2\r\n",
         {{"C", "Key", "real"}, {"C", "After", "1"}, {"Other", "After", kAbsent}}},
        {"duplicate keys and sections",
         "[D]\r\nKey=first\r\nkey=second\r\nNoEquals\r\nNoEquals=later\r\n[E]\r\nOnly=e\r\n"
         "[d]\r\nKey=third\r\nMore=x\r\n",
         {{"D", "Key", "first"},
          {"D", "NoEquals", kAbsent},  // the first line of the name counts, even without '='
          {"D", "More", kAbsent},      // only the first section of a name is searched
          {"E", "Only", "e"}}},
        {"letter case",
         "[bAsIcOpTiOn]\r\nEXECFILE=x\r\n",
         {{"BasicOption", "ExecFile", "x"}, {"BASICOPTION", "execfile", "x"}}},
        {"section headers",
         "[A]B]\r\nK=1\r\n[Open\r\nK2=2\r\n[Sec] trailing\r\nK3=3\r\n",
         {{"A]B", "K", "1"},
          {"A]B", "K2", "2"},  // "[Open" has no ']': an ordinary line
          {"Open", "K2", kAbsent},
          {"Sec", "K3", "3"},
          {"A", "K", kAbsent}}},
        {"Shift-JIS names and values",
         // "ゾ" ends in the byte of ']', "表" and "ソ" in that of '\', "ア" in that of 'A'.
         "[ソフト]\r\n名前=表示ソフト\\\r\nア=katakana\r\n[S]ゾ\r\nK=1\r\n[表ゾ]\r\nK=2\r\n",
         {{"ソフト", "名前", "表示ソフト\\"},
          {"ソフト", "ア", "katakana"},
          {"ソフト", "ヂ", kAbsent},  // differs from "ア" only in the case of its second byte
          {"S", "K", "1"},
          {"表ゾ", "K", "2"}}},
        {"long values",
         "[L]\r\nAscii=" + std::string(3000, 'a') + "\r\nExact=" + std::string(2047, 'b') +
             "\r\nOneMore=" + std::string(2048, 'c') + "\r\nSplit=" + manyA + "\r\nWhole=x" +
             manyA + "\r\nQuoted=\"" + std::string(3000, 'd') + "\"\r\n",
         {{"L", "Ascii", std::string(2047, 'a')},
          {"L", "Exact", std::string(2047, 'b')},
          {"L", "OneMore", std::string(2047, 'c')},
          // The character that would straddle the 2047th byte is left out whole.
          {"L", "Split", manyA.substr(0, 2046)},
          {"L", "Whole", "x" + manyA.substr(0, 2046)},
          {"L", "Quoted", std::string(2047, 'd')}}},
        {"quoted value that just fits",
         "[L]\r\nQuoted=\"" + std::string(2047, 'e') + "\"\r\n",
         {{"L", "Quoted", std::string(2047, 'e')}},
         "Wine strips the closing quote after its copy has already cut it off, and so "
         "loses the value's last character"},
        {"NUL bytes",
         "[N]\r\nValue=ab\0cd\r\nName\0Tail=x\r\nAfter=1\r\n"s,
         {{"N", "Value", "ab"}, {"N", "Name", "x"}, {"N", "After", "1"}}},
        {"DOS end-of-file mark",
         "[Z]\r\nK=v\x1A\r\nK2=w\r\n\x1A",
         {{"Z", "K", "v"}, {"Z", "K2", "w"}}},
        {"lead bytes without their second byte",
         // A lead byte takes the following line break with it, so "B=y" is no line of its
         // own. The system turns such a pair into "・" where we keep the bytes, so A and C are
         // not looked up.
         "[S]\r\nA=x\x83\nB=y\r\nC=\x83\r\nD=z\r\n",
         {{"S", "B", kAbsent}, {"S", "D", "z"}}},
        {"empty file", "", {{"S", "K", kAbsent}}},
        {"keys before any section",
         "K=v\r\n[S]\r\nOther=1\r\n",
         {{"S", "K", kAbsent}, {"S", "Other", "1"}}},
        {"UTF-16 with byte-order mark",
         Utf16File(u"[Identification]\r\nID=SolvaneInstaller\r\n[BasicOption]\r\n"
                   u"SoftName = \"ソフト名\"\r\nLf=x\nCr=y\rExecFile=表\\ゾ.exe"),
         {{"Identification", "ID", "SolvaneInstaller"},
          {"BasicOption", "SoftName", "ソフト名"},
          {"BasicOption", "Lf", "x"},
          {"BasicOption", "Cr", "y"},
          {"BasicOption", "ExecFile", "表\\ゾ.exe"}}},
        {"byte-order mark only", "\xFF\xFE", {{"S", "K", kAbsent}}},
    };
}
