#include "TableSource.h"

namespace velmora::legacy {

using data::DbError;
namespace err = data::err;

bool isJetFileFailure(const DbError& e) {
    return e.number() == err::JetFile || e.number() == kDamagedJetFile ||
           e.number() == kEncryptedJetFile;
}

DbError jetFileFailure(int number, const QString& text) {
    for (const data::ErrorNumber n : {kDamagedJetFile, kEncryptedJetFile}) {
        if (number == static_cast<int>(n))
            return DbError(n, text);
    }
    return DbError(err::JetFile, text);
}

int jetFileNumber(const DbError& e) {
    return e.number() == err::JetFile ? 0 : e.code();
}

QString numberedText(const DbError& e) {
    const int number = jetFileNumber(e);
    return number ? QStringLiteral("error %1: %2").arg(number).arg(e.text()) : e.text();
}

}  // namespace velmora::legacy
