#pragma once

#include <QString>
#include <QTemporaryDir>

namespace velmora::testing {

// Adds components with long descriptions to a main data file, so that it spans many pages.
void addManyParts(const QString& mainFile, int count, const QString& reg = QStringLiteral("N1"));

// Damages a data file as a failing disk would: the header of its last page becomes noise.
// The list of tables stays readable; the check for damage finds it.
void damageLastPage(const QString& file);

// A small file system of its own, mounted from an image (as root, where the machine lets a
// test mount one), to run out of room on. available() is false, with why, where it cannot.
class SmallFileSystem {
  public:
    explicit SmallFileSystem(int megabytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool available() const { return mounted_; }
    const QString& whyNot() const { return whyNot_; }
    QString path() const { return mountPoint_.path(); }

  private:
    QTemporaryDir work_;
    QTemporaryDir mountPoint_;
    bool mounted_ = false;
    QString whyNot_;
};

}  // namespace velmora::testing
