#include "Path.h"

namespace {

// Where the file name starts: just after the last backslash, or at 0.
size_t FileNameStart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? 0 : slash + 1;
}

}  // namespace

std::wstring DirectoryOf(const std::wstring& path) {
    return path.substr(0, FileNameStart(path));
}

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(FileNameStart(path));
}

std::wstring WithoutExtension(const std::wstring& path) {
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || dot < FileNameStart(path))
        return path;
    return path.substr(0, dot);
}
