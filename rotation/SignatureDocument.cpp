// Composition, saving and loading of the signature document.
#include "rotation/SignatureDocument.h"

#include "framework/Paths.h"
#include "rotation/SignatureFiles.h"
#include "rotation/Variables.h"
#include "framework/rules/SignatureRules.h"

#include <utility>

TSignatureDocument::TSignatureDocument(std::string programDir, TBrkApart& breakIt,
                                       const TClock& clock)
    : programDir_(std::move(programDir)), breakIt_(breakIt), clock_(clock) {}

std::string TSignatureDocument::VariableListFile() const {
    return programDir_ + kVariableListFile;
}

std::string TSignatureDocument::ExpandVariables(const std::string& body,
                                                const std::string& custDate,
                                                const std::string& custTime) const {
    return ::ExpandVariables(body, breakIt_, VariableListFile(),
                             TVariableValues{custDate, custTime, clock_.Local()});
}

std::string TSignatureDocument::ComposeDraft(const std::string& body, const std::string& tagline,
                                             bool tagPos, const std::string& custDate,
                                             const std::string& custTime) const {
    return rules::ComposeDraft(ExpandVariables(body, custDate, custTime), tagline, tagPos);
}

void TSignatureDocument::WriteSideFiles(const std::string& body, const std::string& tagline) const {
    fw::WriteWholeFile(SigSideFile(), body);
    fw::WriteWholeFile(TagSideFile(), tagline);
}

void TSignatureDocument::Save(const std::string& sigFile, const std::string& draft,
                              const std::string& body, const std::string& tagline) const {
    fw::OverwriteSharedFile(sigFile, draft);
    WriteSideFiles(body, tagline);
}

void TSignatureDocument::SaveAs(const std::string& fileName, const std::string& draft,
                                const std::string& body, const std::string& tagline) const {
    fw::WriteWholeFile(fileName, draft);
    WriteSideFiles(body, tagline);
}

TLoadedSignature TSignatureDocument::LoadSig(const std::string& sigFile) const {
    const bool sides = fw::FileExists(SigSideFile()) && fw::FileExists(TagSideFile());
    TLoadedSignature loaded;
    if (sides && fw::FileExists(sigFile)) {
        // Body, saved tagline, draft, in that order: a signature file that cannot be
        // opened for writing still leaves the body and the tagline of the last save.
        loaded.savedTagline.emplace();
        try {
            loaded.body = LoadTextFile(SigSideFile());
            loaded.savedTagline = LoadTextFile(TagSideFile());
            loaded.draft = LoadSignatureFile(sigFile);
        } catch (...) {
            loaded.error = std::current_exception();
        }
    } else if (sides) {
        loaded.body = "The file " + sigFile +
                      " cannot be found.\r\n"
                      "It has either been deleted or moved.\r\n"
                      "Go to \"File|Select Signature\" and select the signature file to use; "
                      "Or type your signature here.\r\n";
    } else {
        loaded.body = "1. Go to \"File|Select Signature\" and select the signature file to use; "
                      "Or type your signature here.\r\n"
                      "2. The select a tagline and click \"Display Draft\" to show the draft "
                      "signature.\r\n"
                      "3. Lastly, save the revised signature file and start the timer.\r\n";
    }
    return loaded;
}
