// data_root.h - the folder the show's files are read from. The program names them "data/..." and
// "velunar.mp3"; they are read from the current directory when it holds data/, else from the folder
// beside the program (the runnable tree), else from share/velunar/ beside the program's bin/ (an
// installed prefix, wherever it was moved). Only reading goes there: the log and screenshots stay
// in the current directory.
// Depends on: the C++ standard library; the debug log for the choice.
#pragma once

#include <string>
#include <vector>

// The folders to try, in order, for a program at exePath: "" (the current directory), the
// program's folder, then its ../share/velunar (lexically normalised). An empty exePath gives "" only.
std::vector<std::string> DataRootCandidates(const std::string& exePath);

// Takes the first candidate holding a data/ folder and logs which; false, with every place tried
// logged and written to stderr, when none does.
bool ChooseDataRoot();

// The root chosen ("" for the current directory) and the setter tests use.
const std::string& GetDataRoot();
void SetDataRoot(const std::string& root);

// Where to open a file the program names: a relative path below the chosen root, any other as given.
std::string DataPath(const char* path);
