#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>
#include <type_traits>

// Tests reach a screen's controls the way a user names them: by the control's name, and for
// a control array by the name and the index (a field enum or a number), e.g.
//   control<QLineEdit>(screen, "txtFields", frmAircraft::Field::Make)
// finds the box named txtFields_2. The screens keep their widgets to themselves.
namespace velmora::test {

// The one control of this kind and name on the form (at any depth); a test that asks for a
// control the form does not have, or has twice, stops with the name in its message.
template <typename Control>
Control* control(const QObject& form, const QString& name) {
    const QList<Control*> found = form.findChildren<Control*>(name);
    if (found.size() != 1) {
        throw std::logic_error("the form " + form.objectName().toStdString() + " has " +
                               std::to_string(found.size()) + " controls named " +
                               name.toStdString() + " of the kind asked for");
    }
    return found.front();
}

template <typename Control>
Control* control(const QObject& form, const char* name) {
    return control<Control>(form, QString::fromLatin1(name));
}

// A control of a control array: its name is the array's name, '_' and the index.
template <typename Control, typename Index>
requires(std::is_enum_v<Index> || std::is_integral_v<Index>) Control* control(const QObject& form,
                                                                              const char* array,
                                                                              Index index) {
    return control<Control>(
        form, QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(static_cast<int>(index)));
}

}  // namespace velmora::test
