#include "ChangeStamp.h"

#include "data/Journal.h"

#include <pwd.h>
#include <unistd.h>

namespace velmora::tasks {

QString currentUser() {
    static const QString user = [] {
        if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
            return QString::fromLocal8Bit(pw->pw_name);
        const QString env = qEnvironmentVariable("USER");
        return env.isEmpty() ? QStringLiteral("uid %1").arg(geteuid()) : env;
    }();
    return user;
}

QDateTime changeTime() {
    return data::journal::now();
}

}  // namespace velmora::tasks
