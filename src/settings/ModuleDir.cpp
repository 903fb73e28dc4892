#include "ModuleDir.h"

#include "common/Path.h"
#include "framework/ModulePath.h"

std::wstring GetModuleDir() {
    static std::wstring cache;
    if (cache.empty())
        cache = DirectoryOf(GetModulePath());
    return cache;
}
