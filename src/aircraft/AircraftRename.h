#pragma once

#include <QString>

#include <optional>

namespace velmora::data {
class Database;
}

// An aircraft's registration number is the key that links its components (Parts), oil
// samples (Oil), planned use and oil limits to it. These functions find registrations and
// change one, carrying everything linked to it along, on the main data file.
namespace velmora::aircraft {

// The most characters a registration number has.
inline constexpr int kRegistrationLength = 10;

// A registration as it is kept: in capitals, without blanks around it.
QString registrationText(const QString& typed);

// The registration of the aircraft that carries this one as the engine compares text
// (letter case and trailing blanks ignored), as the file stores it; std::nullopt when no
// aircraft carries it. Throws data::DbError when the file cannot be read.
std::optional<QString> registeredAs(data::Database& mainDb, const QString& regNum);

// Why the aircraft `from` cannot be given the registration `to` (already in the form of
// registrationText()): empty, too long, its own already, another aircraft's, or `from`
// carried by no aircraft or by several rows at once (whose components cannot be told
// apart). Empty when it can.
QString renameProblem(data::Database& mainDb, const QString& from, const QString& to);

// What a rename carried along with the aircraft.
struct RenameCount {
    int components = 0;
    int oilSamples = 0;
};

// Gives the aircraft `from` the registration `to` and carries its components, oil samples,
// planned use and oil limits along, all in one transaction through the engine, so that the
// entry journal records each change (the journal's own lines keep the registration they
// were written with). Planned use or oil limits that still name `to` belong to no aircraft
// and go. Refused for the reasons renameProblem() gives, and on any failure of the file:
// data::DbError, with nothing changed.
RenameCount renameAircraft(data::Database& mainDb, const QString& from, const QString& to);

}  // namespace velmora::aircraft
