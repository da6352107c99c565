// A new file written beside the file it is to replace, and put in that file's place whole.
//
// QSaveFile would be the stock way, but its commit() syncs the file a second time and renames it
// in one call that cannot be stopped in between, and it never syncs the folder: a Cancel during
// that sync could not keep the earlier file, and a finished save might not outlive a power cut.
// Here each step is its own, so that the save can heed a Cancel until the rename itself.
//
// The new file has no name while it is written (O_TMPFILE), so that nothing is left behind if the
// program ends half-way; where the file system cannot make such a file it gets a hidden name
// beside the target at once. Until replace(), the earlier file is as it was; whatever was made is
// removed when the object goes, unless it replaced the target. POSIX; every step that fails
// leaves the system's error number in error().
#pragma once

#include <QByteArray>
#include <QString>

class ReplacementFile
{
public:
    // Makes the new file in the folder of `target`, which has no links left to follow.
    explicit ReplacementFile(const QString &target);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile &) = delete;
    ReplacementFile &operator=(const ReplacementFile &) = delete;

    bool isOpen() const { return m_file >= 0; }
    int handle() const { return m_file; }
    int error() const { return m_error; }

    // Makes the bytes written durable (fdatasync).
    bool sync();
    // Gives the new file a name of its own beside the target, if it has none yet: the last step
    // before replace() that can still be undone.
    bool name();
    // Renames the new file over the target, then syncs the folder, which makes the new name
    // durable. From the rename on, the new file is in place: `replaced` says so even when the
    // folder's sync fails.
    bool replace(bool &replaced);

private:
    bool failed();

    QByteArray m_target;
    QByteArray m_folder;
    QByteArray m_name; // the new file's own name, once it has one
    int m_file = -1;
    int m_error = 0;
};
