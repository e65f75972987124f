// Read by the layer checks' own tests, never compiled: one listed and one unlisted use.
QString allowedQuery(const QString& reg) {
    return QStringLiteral("select * from [Aircraft] where [RegNum]=") + quoteJetLiteral(reg);
}

QString plantedQuery(const QString& reg) {
    return QStringLiteral("select * from [Parts] where [RegNum]=") + quoteJetLiteral(reg);
}
