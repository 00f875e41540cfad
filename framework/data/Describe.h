// Reads a table's field and index descriptions through the engine, without opening it;
// shared by the field and index definitions.
#pragma once

#include "platform/idapi/idapi.h"

#include <cstring>
#include <string>
#include <vector>

namespace fw {

void DescribeTable(const std::string& path, std::vector<IdpFieldDesc>* fields,
                   std::vector<IdpIndexDesc>* indexes);

// A NUL-terminated name from a fixed-size engine buffer, never reading past its end.
template <std::size_t N> std::string EngineName(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

// Copies a name into a fixed-size engine buffer; raises "Name '%s' is too long" when it
// does not fit with its NUL.
void CopyEngineName(char* buffer, std::size_t size, const std::string& name);

} // namespace fw
