#pragma once

// The dialog's indicator list as the lab watchers write it: one row per
// line, the five cells separated by tabs; files are replaced whole, so a
// test never reads half a list.

#include <cstdio>
#include <fstream>
#include <string>

#include "ui/quorvel_dlg.h"

inline std::string Snapshot(CQuorvelDlg& dialog)
{
    std::string text;
    for (int row = 0; row < dialog.m_list.GetItemCount(); ++row) {
        for (int column = 0; column < 5; ++column)
            text += dialog.m_list.GetItemText(row, column) + (column < 4 ? "\t" : "\n");
    }
    return text;
}

inline void WriteAtomically(const std::string& path, const std::string& text)
{
    const std::string temporary = path + ".tmp";
    std::ofstream(temporary, std::ios::binary | std::ios::trunc) << text;
    std::rename(temporary.c_str(), path.c_str());
}
