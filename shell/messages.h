// The application shell's own texts: the window titles, the About text, the
// source chooser's title and refusal (the progress labels are declared in
// shell/progress.h).
#ifndef ZORVANE_SHELL_MESSAGES_H
#define ZORVANE_SHELL_MESSAGES_H

// The program's name and version as its windows show it.
#define PROGRAM_TITLE "Zorvane V1.30"

extern const char kMainTitle[];        // "Zorvane V1.30"
extern const char kAboutTitle[];       // "About Zorvane V1.30 ..."
extern const char kAboutText[];
extern const char kSourceTitle[];      // "Select File(s)"
extern const char kSelectionRefused[];

#endif
