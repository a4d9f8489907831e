#pragma once
#include "platform/program_folder.h"
#include "support/temp_dir.h"

namespace kivo::test {

// A fresh temporary folder that the program takes for its own folder (where
// kivo.dat, the log and the filter files live) until the end of the test.
struct TempProgramFolder {
    TempDir dir;
    TempProgramFolder() { platform::set_program_folder_for_tests(dir.folder()); }
    ~TempProgramFolder() { platform::set_program_folder_for_tests(""); }
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;
};

}  // namespace kivo::test
