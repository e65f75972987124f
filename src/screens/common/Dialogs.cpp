#include "Dialogs.h"

#include "ChoiceDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace velmora::screens {

namespace {

Dialogs& standardDialogs() {
    static Dialogs standard;
    return standard;
}

Dialogs* installed = nullptr;

QMessageBox::StandardButton toStandard(MsgAnswer a) {
    switch (a) {
        case MsgAnswer::Ok:
            return QMessageBox::Ok;
        case MsgAnswer::Cancel:
            return QMessageBox::Cancel;
        case MsgAnswer::Yes:
            return QMessageBox::Yes;
        case MsgAnswer::No:
            return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon toQtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::None:
            return QMessageBox::NoIcon;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// The answer when the box was closed without a button: Cancel where there is one, else
// No, else Ok.
MsgAnswer closedAnswer(MsgButtons buttons) {
    const std::vector<MsgAnswer> shown = answersOf(buttons);
    for (MsgAnswer a : {MsgAnswer::Cancel, MsgAnswer::No, MsgAnswer::Ok}) {
        if (std::find(shown.begin(), shown.end(), a) != shown.end())
            return a;
    }
    return shown.front();
}

}  // namespace

std::vector<MsgAnswer> answersOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok:
            return {MsgAnswer::Ok};
        case MsgButtons::OkCancel:
            return {MsgAnswer::Ok, MsgAnswer::Cancel};
        case MsgButtons::YesNo:
            return {MsgAnswer::Yes, MsgAnswer::No};
        case MsgButtons::YesNoCancel:
            return {MsgAnswer::Yes, MsgAnswer::No, MsgAnswer::Cancel};
    }
    return {MsgAnswer::Ok};
}

MsgAnswer effectiveDefault(const MessageRequest& request) {
    const std::vector<MsgAnswer> shown = answersOf(request.buttons);
    if (std::find(shown.begin(), shown.end(), request.defaultButton) != shown.end())
        return request.defaultButton;
    return shown.front();
}

QString toQtFilter(const QString& pipeFilter) {
    if (pipeFilter.trimmed().isEmpty())
        return {};
    const QStringList parts = pipeFilter.split(u'|');
    QStringList groups;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        if (i + 1 < parts.size()) {
            for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
                if (!p.trimmed().isEmpty())
                    patterns << p.trimmed();
            }
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        const QString group = QLatin1Char('(') + patterns.join(u' ') + QLatin1Char(')');
        // The toolkit reads the patterns from the last parentheses: a description that
        // already ends with them is taken as it stands.
        if (description.endsWith(group))
            groups << description;
        else if (description.isEmpty())
            groups << group;
        else
            groups << description + QLatin1Char(' ') + group;
    }
    return groups.join(QStringLiteral(";;"));
}

Dialogs::~Dialogs() = default;

MsgAnswer Dialogs::message(QWidget* parent, const MessageRequest& request) {
    QMessageBox box(parent);
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);  // the text may hold what a user typed
    box.setText(request.text);
    box.setIcon(toQtIcon(request.icon));
    QMessageBox::StandardButtons buttons;
    for (MsgAnswer a : answersOf(request.buttons))
        buttons |= toStandard(a);
    box.setStandardButtons(buttons);
    box.setDefaultButton(toStandard(effectiveDefault(request)));
    box.exec();
    MsgAnswer result = closedAnswer(request.buttons);
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            result = MsgAnswer::Ok;
            break;
        case QMessageBox::Cancel:
            result = MsgAnswer::Cancel;
            break;
        case QMessageBox::Yes:
            result = MsgAnswer::Yes;
            break;
        case QMessageBox::No:
            result = MsgAnswer::No;
            break;
        default:
            break;
    }
    reactivateWindow(parent);
    return result;
}

std::optional<QString> Dialogs::openFile(QWidget* parent, const FileOpenRequest& request) {
    QString start = request.initialFolder;
    if (!request.initialFile.isEmpty())
        start = start.isEmpty() ? request.initialFile : QDir(start).filePath(request.initialFile);
    const QString chosen =
        QFileDialog::getOpenFileName(parent, QString(), start, toQtFilter(request.filter));
    reactivateWindow(parent);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> Dialogs::saveFile(QWidget* parent, const FileSaveRequest& request) {
    const QString chosen = QFileDialog::getSaveFileName(parent, request.title, request.initialFile,
                                                        toQtFilter(request.filter));
    reactivateWindow(parent);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<int> Dialogs::choose(QWidget* parent, const ChoiceRequest& request) {
    const std::optional<int> row = showChoiceDialog(parent, request);
    reactivateWindow(parent);
    return row;
}

std::optional<QString> Dialogs::askPassword(QWidget* parent, const PasswordRequest& request) {
    bool ok = false;
    const QString typed = QInputDialog::getText(parent, request.title, request.prompt,
                                                QLineEdit::Password, QString(), &ok);
    reactivateWindow(parent);
    if (!ok)
        return std::nullopt;
    return typed;
}

std::optional<QString> Dialogs::askText(QWidget* parent, const TextRequest& request) {
    QInputDialog box(parent);
    box.setWindowTitle(request.title);
    box.setLabelText(request.prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(request.initialText);
    if (auto* line = box.findChild<QLineEdit*>(); line && request.maxLength > 0)
        line->setMaxLength(request.maxLength);
    const bool accepted = box.exec() == QDialog::Accepted;
    reactivateWindow(parent);
    if (!accepted)
        return std::nullopt;
    return box.textValue();
}

Dialogs& Dialogs::current() {
    return installed ? *installed : standardDialogs();
}

void Dialogs::install(Dialogs* dialogs) {
    installed = (dialogs == &standardDialogs()) ? nullptr : dialogs;
}

MsgAnswer msgBox(QWidget* parent, const QString& text, MsgButtons buttons, MsgIcon icon,
                 const QString& title, std::optional<MsgAnswer> defaultButton) {
    MessageRequest request;
    request.text = text;
    request.title = title.isEmpty() ? QApplication::applicationDisplayName() : title;
    request.buttons = buttons;
    request.icon = icon;
    request.defaultButton = defaultButton.value_or(answersOf(buttons).front());
    return Dialogs::current().message(parent, request);
}

void reactivateWindow(QWidget* widget) {
    if (!widget)
        return;
    QWidget* window = widget->window();
    if (!window || !window->isVisible())
        return;
    window->activateWindow();
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    // Makes the change take effect at once rather than when the platform reports it.
    QApplication::setActiveWindow(window);
#endif
}

}  // namespace velmora::screens
