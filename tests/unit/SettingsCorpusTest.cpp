#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "settings/Config.h"
#include "support/Corpus.h"
#include "support/Scratch.h"

// A seeded corpus of hostile settings files (scripts/make-cfg-corpus.py, made at build time), each
// with the five values a plain reading of its own finds in it: loaded through the settings store,
// every file gives those values, and saved back, they survive a second load.
TEST(SettingsCorpus, EveryFileLoadsByTheRulesAndSavesBackWhatItLoaded) {
    const std::vector<CorpusFile> files = ReadCorpus();
    ASSERT_GE(files.size(), 200u) << "the corpus is made by scripts/make-cfg-corpus.py at build time";
    CScratchDir dir("SettingsCorpus");
    const CConfig config(dir.Path());
    int failures = 0;
    for (const CorpusFile& file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(::CopyFileW(file.path.c_str(), dir.File(kConfigFileName).c_str(), FALSE));
        CSetting loaded;
        config.Load(loaded);
        EXPECT_EQ(loaded, file.expected);

        config.Save(loaded);
        CSetting reloaded;
        reloaded.m_nInterval = 1;
        config.Load(reloaded);
        EXPECT_EQ(reloaded, file.expected);
        EXPECT_EQ(dir.List(), std::vector<std::wstring>{kConfigFileName});
        if ((loaded != file.expected || reloaded != file.expected) && ++failures >= 5)
            FAIL() << "stopping after 5 failing files";
    }
}
