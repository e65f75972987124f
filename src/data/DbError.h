#pragma once

#include <QString>

#include <stdexcept>

namespace velmora::data {

// Engine error numbers. The screens test NoCurrentRecord, ObjectNotFound and
// ObjectExists; every other failure carries one of the others. The numbers are Jet's: the
// screens hand them on as numbers (code()), and messages show them.
enum class ErrorNumber : int {
    // Runtime errors of an expression, as Jet raises them: an argument a function cannot
    // take (Sqr of a negative number), a result beyond the range of its type (CInt(40000),
    // 1E+308 * 10), and a division by zero. The statement fails and writes nothing.
    InvalidProcedureCall = 5,
    Overflow = 6,
    DivisionByZero = 11,
    ObjectExists = 3012,  // a stored query or object of that name exists
    TableExists = 3010,   // CREATE TABLE on an existing table
    UpdateWithoutEdit = 3020,
    NoCurrentRecord = 3021,
    DuplicateKey = 3022,
    FileNotFound = 3024,
    DiskFull = 3026,
    ReadOnly = 3027,
    // The login (a database role on a server) may not read or change this.
    NoPermission = 3033,
    DiskError = 3043,
    InvalidPath = 3044,
    CannotOpen = 3051,
    TooFewParameters = 3061,  // unknown column name
    SyntaxError = 3075,
    CriteriaSyntax = 3077,
    ObjectNotFound = 3078,
    UndefinedFunction = 3085,
    FieldTooSmall = 3163,
    Locked = 3218,
    ItemNotFound = 3265,
    AmbiguousColumn = 3079,  // a column name found in more than one table
    NotNull = 3314,
    NotADatabase = 3343,
    NumericOverflow = 3349,
    QueryTooComplex = 3360,  // nesting or length beyond what the engine takes
    JetFile = 3447,
    TypeMismatch = 3464,
    // Values that the rules of what is stored refuse (a task of the register without a
    // number, an accomplishment dated in the future): nothing is written.
    ValidationRule = 3317,
    // A row changed (or deleted) by another user since this one read it: the save is
    // refused, and the user chooses to reload the row or to keep the values on the screen.
    DataChanged = 3197,
    // The database server cannot be reached, refuses the login or went away.
    ServerConnection = 3151,
    Internal = 3000,
};

// The numbers by their short names: err::NoCurrentRecord.
namespace err {
using enum ErrorNumber;
}  // namespace err

// A numbered engine error with a text meant for the user: what went wrong and with which
// file or object.
class DbError : public std::runtime_error {
  public:
    DbError(ErrorNumber number, const QString& text)
        : std::runtime_error(text.toStdString()), number_(number), text_(text) {}

    ErrorNumber number() const { return number_; }
    // The number as Jet gives it (3021), for the screens' error events and messages.
    int code() const { return static_cast<int>(number_); }
    const QString& text() const { return text_; }

  private:
    ErrorNumber number_;
    QString text_;
};

}  // namespace velmora::data
