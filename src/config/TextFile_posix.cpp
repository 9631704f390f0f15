// The native file layer: UTF-8 on disk with the same CR LF rule as on Windows, so the INI
// document and its round trips can be tested on the build machine.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "config/TextFile.h"
#include "config/TextFileDetail.h"

namespace {

void AppendUtf8(std::string& out, uint32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = '?';
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) AppendUtf8(out, static_cast<uint32_t>(c));
    return out;
}

// Length of the sequence a lead byte starts; 0 for a byte that cannot start one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead < 0xE0) return 2;
    if (lead >= 0xE0 && lead < 0xF0) return 3;
    if (lead >= 0xF0 && lead < 0xF5) return 4;
    return 0;
}

// Malformed sequences become U+FFFD, one per offending byte.
std::wstring FromUtf8(const std::string& bytes) {
    static const uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    std::wstring out;
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = SequenceLength(lead);
        uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        bool valid = length != 0 && i + length <= bytes.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        valid = valid && c >= kMinimum[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (!valid) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += length;
    }
    return out;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        if (textfile_detail::ConsumeWriteFault()) return false;
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ReadTextFile(const std::wstring& path, std::wstring& text) {
    FILE* file = std::fopen(ToUtf8(path).c_str(), "rb");
    if (!file) return false;
    std::string bytes;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) return false;
    text = textfile_detail::DecodeDiskText(bytes);
    return true;
}

namespace textfile_detail {

std::wstring DecodeDiskText(const std::string& bytes) { return FromUtf8(FromDiskLineEnds(bytes)); }

bool EncodeDiskText(const std::wstring& text, std::string& bytes) {
    bytes = ToDiskLineEnds(ToUtf8(text));
    return true;
}

}  // namespace textfile_detail

void RemoveStaleTempFiles(const std::wstring&) {}

bool ReplaceTextFile(const std::wstring& path, const std::wstring& text) {
    const std::string target = ToUtf8(path);
    std::string temp = target + ".XXXXXX";
    const int fd = ::mkstemp(&temp[0]);
    if (fd < 0) return false;
    std::string bytes;
    textfile_detail::EncodeDiskText(text, bytes);
    bool ok = WriteAll(fd, bytes);
    // A replaced file keeps its permissions; a new one gets the usual 0644.
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ok = ::fchmod(fd, mode) == 0 && ok;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}
