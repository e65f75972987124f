#pragma once

namespace velmora::backup {

// Makes the engine back a main data file up (a backup "before-migration") before it adds
// the entry journal to a file made before it; when the backup cannot be made, the change
// that would have added the journal is refused with the backup's message. Programs that
// write the data files call it once at start.
void backUpBeforeJournalMigration();

}  // namespace velmora::backup
