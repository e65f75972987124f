#pragma once

// What a printed table put on its pages: the words pdftotext reads from a PDF, and a check
// that every word of the texts a table should show is among them, whole.
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace velmora::testing {

inline bool pdfToTextInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The text of a PDF as pdftotext reads it; empty with a failure when it cannot.
inline QString pdfToText(const QString& pdf) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
            {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    // The font's ligatures ("\uFB01") read back as their letters ("fi").
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (char16_t lig = 0xFB00; lig <= 0xFB06; ++lig)
        text.replace(QChar(lig), QString(QChar(lig)).normalized(QString::NormalizationForm_KC));
    return text;
}

inline QStringList wordsOf(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

// Every word of the texts is in the PDF, as often as the texts hold it, and nothing was
// cut short with an ellipsis.
inline void expectEveryWordPrinted(const QString& pdf, const QStringList& texts) {
    const QString printed = pdfToText(pdf);
    EXPECT_FALSE(printed.contains(QChar(0x2026))) << "a text was cut short";
    QMap<QString, int> onPage;
    for (const QString& w : wordsOf(printed))
        ++onPage[w];
    QMap<QString, int> wanted;
    for (const QString& t : texts) {
        for (const QString& w : wordsOf(t))
            ++wanted[w];
    }
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
        EXPECT_GE(onPage.value(it.key()), it.value())
            << "\"" << it.key().toStdString() << "\" is printed " << onPage.value(it.key())
            << " times, not " << it.value();
}

}  // namespace velmora::testing
