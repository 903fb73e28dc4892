#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Scratch.h"
#include "Settings.h"

// The seeded corpus of hostile settings files that scripts/make-cfg-corpus.py makes beside the test
// programs at build time, each with the five values a plain reading of its own finds in it.
struct CorpusFile {
    std::wstring path;
    std::string name;
    CSetting expected;
};

inline std::vector<CorpusFile> ReadCorpus() {
    const std::wstring dir = ExecutableDir() + L"corpus\\";
    std::vector<CorpusFile> files;
    std::ifstream manifest(std::string(dir.begin(), dir.end()) + "expected.tsv");
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        CorpusFile file;
        fields >> file.name;
        file.path = dir + std::wstring(file.name.begin(), file.name.end());
        std::int32_t v[5] = {};
        for (std::int32_t& value : v)
            fields >> value;
        file.expected = SettingOf(static_cast<KeyValue>(v[0]), static_cast<KeyValue>(v[1]), static_cast<KeyValue>(v[2]),
                                  static_cast<KeyValue>(v[3]), v[4]);
        files.push_back(file);
    }
    return files;
}
