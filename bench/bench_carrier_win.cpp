// Benchmark driver for bench/bench-carrier (not a test): embeds one file
// into a carrier and extracts it again in process, through the real
// commands with their dialogs answered from code, and prints the seconds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "carrier/carrier_win.h"
#include "cipher/transform.h"
#include "credentials/credentials_win.h"
#include "shell/shell_win.h"
#include "tests/support/testing_win.h"

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

// Arguments: the folder that holds hidden.bin and carrier.bin (a Windows
// path); the extracted file is written there as extracted.bin.
int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: bench_carrier FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    SetCurrentDirectoryA(folder.c_str());
    CreateTestMainWindow();
    SetTestSignatures("bench", "       ");
    const std::string hidden = folder + "\\hidden.bin";
    const std::string carrier = folder + "\\carrier.bin";
    const std::string output = folder + "\\extracted.bin";
    MessageRecorder messages;
    DialogAnswers answers;

    LARGE_INTEGER start, embedded, extracted;
    answers.Queue(hidden.c_str());
    answers.Queue(carrier.c_str());
    QueryPerformanceCounter(&start);
    SendMessageA(g_mainWindow, WM_COMMAND, IDC_MAIN_EMBED, 0);
    QueryPerformanceCounter(&embedded);

    HWND window = OpenExtractWindow();
    SetWindowTextA(g_extractKeyField, "bench");
    answers.Queue(carrier.c_str());
    answers.Queue(output.c_str());
    LARGE_INTEGER extractStart;
    QueryPerformanceCounter(&extractStart);
    SendMessageA(window, WM_COMMAND, IDC_EXTRACT_OK, 0);
    QueryPerformanceCounter(&extracted);

    for (const RecordedMessage& m : messages.messages)
        fprintf(stderr, "message: %s\n", m.text.c_str());
    printf("embed %.6f\nextract %.6f\n", Seconds(start, embedded), Seconds(extractStart, extracted));
    DestroyTestMainWindow();
    return messages.messages.empty() ? 0 : 1;
}
