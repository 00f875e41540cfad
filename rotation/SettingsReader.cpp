// Settings read one by one, each falling back to its default on its own.
#include "rotation/SettingsReader.h"

#include "framework/Application.h"

template <typename Convert>
auto TSettingsReader::Read(const std::string& name, const fw::Variant& def, Convert convert) {
    fw::Variant stored = reg_.ReadValueDef(name, def);
    try {
        return convert(stored);
    } catch (const fw::EVariantError& e) {
        if (!failure_)
            failure_ = e.what();
        return convert(def);
    }
}

std::string TSettingsReader::String(const std::string& name, const std::string& def) {
    return Read(name, fw::Variant(def), [](const fw::Variant& v) { return v.AsString(); });
}

bool TSettingsReader::Boolean(const std::string& name, bool def) {
    return Read(name, fw::Variant(def), [](const fw::Variant& v) { return v.AsBoolean(); });
}

int TSettingsReader::Integer(const std::string& name, int def) {
    return Read(name, fw::Variant(def), [](const fw::Variant& v) { return v.AsInteger(); });
}

void TSettingsReader::Report() {
    if (!failure_)
        return;
    const fw::EVariantError error(*failure_);
    failure_.reset();
    fw::Application().HandleException(error);
}
