#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Scratch.h"

// The seeded corpus of hostile settings files that scripts/make-cfg-corpus.py makes beside the test
// programs at build time, each with the five values a plain reading of its own finds in it.
struct CorpusFile {
    std::wstring path;
    std::string name;
    std::vector<std::int32_t> values;  // next, stop, key1, key2, interval
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
        file.values.resize(5);
        for (std::int32_t& value : file.values)
            fields >> value;
        files.push_back(file);
    }
    return files;
}
