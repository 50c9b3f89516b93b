// The folder the windowed program works in: the file dialogs start there,
// and the status texts send the user to the examples under "Data".
#pragma once

#include <filesystem>

// The desktop entry's id, which the window gives the desktop so that the
// two are matched (and the entry's icon shown).
inline constexpr char DesktopId[] = "org.tolvane.Tolvane";

// The folder to work in: the current one when it has a Data folder of its
// own (a project tree, a folder of the user's), otherwise home. A home
// without a Data folder gets one, with a copy of the examples: the
// installed ones are read-only, and a run writes its output file beside
// its input. Home is left as it is when it cannot be written, and an
// existing Data folder is never touched.
std::filesystem::path ChooseStartFolder(const std::filesystem::path& current,
                                        const std::filesystem::path& home,
                                        const std::filesystem::path& examples);

// ChooseStartFolder for this process: the examples installed beside the
// program (share/tolvane/Data), and the current folder changed to it.
void EnterStartFolder();
