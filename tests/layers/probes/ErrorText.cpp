// Read by the layer checks' own tests, never compiled: one listed and one unlisted function
// that report a failure as bool and text.
bool allowedRead(const QString& path, QString* error);

bool plantedRead(const QString& path, Table* out, QString* error) {
    return false;
}
