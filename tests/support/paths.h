// Paths every test shares: the files under tests/data, and the temporary
// files the commands make in the current directory.
#ifndef ZORVANE_TESTS_SUPPORT_PATHS_H
#define ZORVANE_TESTS_SUPPORT_PATHS_H

#include <string>
#include <vector>

// A file under tests/data ("cipher/mode3-0.zel") as this build's file calls
// want it: under Wine the Unix root is drive Z: and the separators are '\'.
std::string TestDataPath(const std::string& relative);

// The temporary files of the four commands, each name written once here:
// "tmpFile.txt" (encrypt), "tmpFile1.txt" (decrypt), "tmpKeyOut.txt" (all
// four), "tmpEFile" (extract).
extern const char* const kTemporaryFiles[4];
// Those the encrypt and decrypt commands make, and those of embed and extract.
std::vector<std::string> CipherTemporaryFiles();
std::vector<std::string> CarrierTemporaryFiles();

#endif
