// TSignatureDocument: what the main window's signature commands do to text and files.
// The window keeps the three texts (body, current tagline, draft) in its text areas and
// the settings in its fields; this composes the draft, writes the signature file and the
// two side files, and loads them back.
#pragma once

#include "desktop/Brkapart.h"
#include "rotation/Clock.h"

#include <exception>
#include <optional>
#include <string>

// What LoadSig puts into the window's text areas.
struct TLoadedSignature {
    std::string body;
    std::string draft;
    // The tagline of the last save; absent when the side files are missing, so the
    // window keeps what it had.
    std::optional<std::string> savedTagline;
    // A file that could not be read ends the loading there: what was loaded before it
    // stands, the rest is empty, and the window shows this error once it has put the
    // texts in place.
    std::exception_ptr error;
};

class TSignatureDocument {
  public:
    // programDir ends with a backslash; breakIt is the window's word splitter.
    TSignatureDocument(std::string programDir, TBrkApart& breakIt,
                       const TClock& clock = SystemClock());

    std::string SigSideFile() const { return programDir_ + "mv-sig.smv"; }
    std::string TagSideFile() const { return programDir_ + "mv-tag.smv"; }
    std::string VariableListFile() const;

    // The body with "#DATE#" and "#TIME#" expanded at the clock's present time.
    std::string ExpandVariables(const std::string& body, const std::string& custDate,
                                const std::string& custTime) const;
    // The draft: expanded body then tagline, or with tagPos the tagline, CR LF, then the
    // expanded body. The tagline is never expanded.
    std::string ComposeDraft(const std::string& body, const std::string& tagline, bool tagPos,
                             const std::string& custDate, const std::string& custTime) const;

    // Writes the draft over the existing signature file, in place and cut to length, then
    // the body and the tagline to the side files.
    void Save(const std::string& sigFile, const std::string& draft, const std::string& body,
              const std::string& tagline) const;
    // The same into a file created or replaced whole.
    void SaveAs(const std::string& fileName, const std::string& draft, const std::string& body,
                const std::string& tagline) const;

    // Body, draft and saved tagline from disk: the files of the last save when all three
    // exist, else the lines telling the user what to do.
    TLoadedSignature LoadSig(const std::string& sigFile) const;

  private:
    void WriteSideFiles(const std::string& body, const std::string& tagline) const;

    std::string programDir_;
    TBrkApart& breakIt_;
    const TClock& clock_;
};
