// Rewrites a UTF-8 source so that every non-ASCII run becomes code page 932 bytes
// written as octal escapes. Clang only knows UTF-8 as execution character set; this
// gives the fuzz build the same literal bytes as -fexec-charset=CP932 gives g++.
// Octal escapes take at most three digits, so a digit after one stays a digit.
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

bool ToCp932(const std::string& utf8, std::string& cp932) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string in = utf8;
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = &in[0];
    char* outPtr = &out[0];
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    cp932.assign(&out[0], outPtr);
    return ok && inLeft == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s input output\n", argv[0]);
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(input)),
                           std::istreambuf_iterator<char>());
    std::string result;
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            result += text[i++];
            continue;
        }
        size_t end = i;
        while (end < text.size() && static_cast<unsigned char>(text[end]) >= 0x80) {
            ++end;
        }
        std::string cp932;
        if (!ToCp932(text.substr(i, end - i), cp932)) {
            std::fprintf(stderr, "%s: text at byte %zu has no code page 932 form\n", argv[1], i);
            return 1;
        }
        for (const char c : cp932) {
            char escape[5];
            std::snprintf(escape, sizeof(escape), "\\%03o", static_cast<unsigned char>(c));
            result += escape;
        }
        i = end;
    }
    std::ofstream output(argv[2], std::ios::binary);
    output << result;
    return output ? 0 : 1;
}
