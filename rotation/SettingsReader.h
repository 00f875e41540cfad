// TSettingsReader: reads settings through the registry store so that one stored value of
// the wrong kind costs only itself. A value that does not convert to its setting's kind
// takes the setting's default and reading goes on; the first such failure is shown by
// the general error display when Report is called. Registry errors still end the read.
#pragma once

#include "desktop/RegFiles.h"

#include <optional>
#include <string>

class TSettingsReader {
  public:
    explicit TSettingsReader(TRegFile& reg) : reg_(reg) {}

    std::string String(const std::string& name, const std::string& def);
    bool Boolean(const std::string& name, bool def);
    int Integer(const std::string& name, int def);
    // Shows the first conversion failure, if any, once.
    void Report();

  private:
    template <typename Convert>
    auto Read(const std::string& name, const fw::Variant& def, Convert convert);

    TRegFile& reg_;
    std::optional<std::string> failure_;
};
