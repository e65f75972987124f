#pragma once

#include <QString>

#include <stdexcept>

namespace velmora::data {

// Engine error numbers. The screens test NoCurrentRecord, ObjectNotFound and
// ObjectExists; every other failure carries one of the others.
namespace err {
inline constexpr int ObjectExists = 3012;  // a stored query or object of that name exists
inline constexpr int TableExists = 3010;   // CREATE TABLE on an existing table
inline constexpr int UpdateWithoutEdit = 3020;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int DuplicateKey = 3022;
inline constexpr int FileNotFound = 3024;
inline constexpr int DiskFull = 3026;
inline constexpr int ReadOnly = 3027;
inline constexpr int DiskError = 3043;
inline constexpr int InvalidPath = 3044;
inline constexpr int CannotOpen = 3051;
inline constexpr int TooFewParameters = 3061;  // unknown column name
inline constexpr int SyntaxError = 3075;
inline constexpr int CriteriaSyntax = 3077;
inline constexpr int ObjectNotFound = 3078;
inline constexpr int UndefinedFunction = 3085;
inline constexpr int FieldTooSmall = 3163;
inline constexpr int Locked = 3218;
inline constexpr int ItemNotFound = 3265;
inline constexpr int AmbiguousColumn = 3079;  // a column name found in more than one table
inline constexpr int NotNull = 3314;
inline constexpr int NotADatabase = 3343;
inline constexpr int NumericOverflow = 3349;
inline constexpr int QueryTooComplex = 3360;  // nesting or length beyond what the engine takes
inline constexpr int JetFile = 3447;
inline constexpr int TypeMismatch = 3464;
inline constexpr int Internal = 3000;
}  // namespace err

// A numbered engine error with a text meant for the user: what went wrong and with which
// file or object.
class DbError : public std::runtime_error {
  public:
    DbError(int number, const QString& text)
        : std::runtime_error(text.toStdString()), number_(number), text_(text) {}

    int number() const { return number_; }
    const QString& text() const { return text_; }

  private:
    int number_;
    QString text_;
};

}  // namespace velmora::data
