#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QWidget;

namespace velmora::screens {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// One message box as the program asks for it.
struct MessageRequest {
    QString text, title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    MsgAnswer defaultButton = MsgAnswer::Ok;

    bool operator==(const MessageRequest&) const = default;
};

// One file-open dialog. The filter is written in pipe form, description and patterns in
// turn: "Databases|*.mdb|All|*.*" or "Pictures|*.bmp;*.jpg|All|*.*".
struct FileOpenRequest {
    QString filter;
    QString initialFolder;
    QString initialFile;

    bool operator==(const FileOpenRequest&) const = default;
};

// One file-save dialog: its title, the filter in pipe form ("CSV files|*.csv") and the
// file name it suggests (a full path or a bare name).
struct FileSaveRequest {
    QString title;
    QString filter;
    QString initialFile;

    bool operator==(const FileSaveRequest&) const = default;
};

// A choice of one row from a list: rows of cells under column captions, with a button
// that takes the row chosen and one that cancels.
struct ChoiceRequest {
    QString title, prompt;
    QStringList columns;
    std::vector<QStringList> rows;
    QString acceptText;
    int current = 0;  // the row chosen when the list opens

    bool operator==(const ChoiceRequest&) const = default;
};

// A password asked of the user for a login: its title and what it is for. What is typed is
// not shown.
struct PasswordRequest {
    QString title, prompt;

    bool operator==(const PasswordRequest&) const = default;
};

// A line of text asked for: a prompt over a box that holds the initial text, selected.
struct TextRequest {
    QString title, prompt, initialText;
    int maxLength = 0;  // 0: no limit

    bool operator==(const TextRequest&) const = default;
};

// The buttons a box shows, in order.
std::vector<MsgAnswer> answersOf(MsgButtons buttons);
// The button that is the default: the one asked for when the box shows it, else the
// box's first button.
MsgAnswer effectiveDefault(const MessageRequest& request);
// A pipe-form filter in the toolkit's form: "Databases (*.mdb);;All (*.*)". Patterns
// separated by ";" become one group; a description without patterns takes "*".
QString toQtFilter(const QString& pipeFilter);

// Every message box and file-open dialog of the program goes through the service that is
// current, so that tests can put a scripted one in its place.
class Dialogs {
  public:
    virtual ~Dialogs();

    // Shows a modal message box and returns the button chosen; closing the box with Escape
    // or the title bar gives Cancel (or No, or Ok, when the box has no Cancel button).
    virtual MsgAnswer message(QWidget* parent, const MessageRequest& request);
    // Shows the file-open dialog; std::nullopt when it was cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const FileOpenRequest& request);
    // Shows the file-save dialog (asking before an existing file is replaced); std::nullopt
    // when it was cancelled.
    virtual std::optional<QString> saveFile(QWidget* parent, const FileSaveRequest& request);
    // Shows a modal list to choose one row from; the row's index, or std::nullopt when the
    // list was cancelled or has no rows.
    virtual std::optional<int> choose(QWidget* parent, const ChoiceRequest& request);
    // Asks for a password in a box that hides what is typed; std::nullopt when cancelled.
    virtual std::optional<QString> askPassword(QWidget* parent, const PasswordRequest& request);
    // Shows a modal box asking for a line of text (OK and Cancel); the text as typed, or
    // std::nullopt when it was cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const TextRequest& request);

    static Dialogs& current();
    // Makes a service current; nullptr puts the standard one back. The caller keeps
    // ownership and must install another before destroying it.
    static void install(Dialogs* dialogs);
};

// A message box through the current service. An empty title gives the program's title
// (QApplication::applicationDisplayName()); no default button asked for gives the first.
MsgAnswer msgBox(QWidget* parent, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, const QString& title = {},
                 std::optional<MsgAnswer> defaultButton = std::nullopt);

// Makes the window holding this widget the active window again. A modal box that closes
// leaves no active window where no window manager decides it (offscreen, bare Xvfb); call
// this before setting focus into the window.
void reactivateWindow(QWidget* widget);

}  // namespace velmora::screens
