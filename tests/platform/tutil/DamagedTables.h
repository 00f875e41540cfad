// The damaged-table corpus: healthy tables made through the engine, and copies of them
// damaged in each of the ways a crash, a bad disk or a foreign program leaves a table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tutiltest {

// A keyed tagline table (TagText primary, Record autoincrement) of rows "Tagline 00000"
// and up, or an unkeyed one, at path (with .db).
void MakeTagTable(const std::string& path, int rows, bool keyed = true);

struct Damage {
    std::string name;
    int level;                    // what verification must report
    int code;                     // a finding it must include
    std::vector<uint16_t> blocks; // the data blocks it damages (their rows may be lost)
    // Damages the table at dbPath (its .db and companions).
    std::function<void(const std::string& dbPath)> apply;
};

// Every damage of the corpus.
std::vector<Damage> Corpus();

// Copies a table's files (.db and companions) to another .db path.
void CopyTable(const std::string& fromDb, const std::string& toDb);

} // namespace tutiltest
