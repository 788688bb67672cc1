#pragma once

// Registers TDrawnEdit, TFileOpenEdit, TBrowseEdit and TBrowseDlg with the form loader. Safe to
// call more than once.
void registerBrowseEditClasses();
