// Runs the four file commands in process, as a user would start them, with
// the open-file dialogs answered through the seam: the helpers the fault
// sweep and the bad-input table share.
#ifndef ZORVANE_TESTS_FAULTS_DRIVE_WIN_H
#define ZORVANE_TESTS_FAULTS_DRIVE_WIN_H

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/paths.h"

// A main window with the signatures "Sig one" / "Sig 2" and mode 3, and the
// carrier commands' shared paths empty.
void StartCommandsWindow();
void EndCommandsWindow();
// Destroys every key window and extract window of the thread.
void CloseCommandWindows();

// Runs inside every open-file dialog the drivers below answer, before the
// answer, with the dialog's title: a test acts there while a command waits.
extern std::function<void(const std::string& title)> g_inEachDialog;
// The window whose button the last driver pressed to start its command: the
// main window, the key window or the extract window. Set before the press.
extern HWND g_drivenWindow;

// "Mirelock" with `path` chosen.
void RunEncrypt(const std::string& path);
// "Unveil", the two keys typed into the new key window, "OK" with `path`
// chosen; returns that key window (every run destroys it).
HWND RunDecrypt(const char* key1, const char* key2, const std::string& path);
// "Embed" with the two dialogs answered (nullptr: cancelled).
void RunEmbed(const char* hidden, const char* carrier);
// "Extract", the key typed, "OK" with the carrier and output chosen
// (nullptr: cancelled); returns the extract window.
HWND RunExtract(const char* key, const char* carrier, const char* output);

// The base name of a path.
std::string BaseName(const std::string& path);

#endif
