// Loading the signature document's files into the window's text areas.
#include "rotation/SignatureFiles.h"

std::string LoadTextFile(const std::string& fileName) {
    return fw::NormaliseLineBreaks(fw::ReadSharedFile(fileName, kMaxTextFile));
}

std::string LoadSignatureFile(const std::string& fileName) {
    return fw::NormaliseLineBreaks(fw::ReadSharedFile(fileName, kMaxTextFile, true));
}
