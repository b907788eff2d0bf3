#pragma once
// Files in the XML value store's format: a processing instruction
// "QVX_Configuration_File", the root "Configuration", then one element per group,
// sub-group and item; an item holds its value as text.
#include <QByteArray>
#include <QString>

#include <map>

class QIODevice;

namespace qvx {

class ValueFile {
public:
    using Items = std::map<QString, QString>;
    using SubGroups = std::map<QString, Items>;

    // Element name of a device or page word: blank ( ) / + become "_".
    static QString XmlName(const QString& name);
    // Numbers as the store writes them, also with a decimal comma; false when not a number.
    static bool ToNumber(const QString& text, double* value);
    static QString FromNumber(double value);

    void Set(const QString& group, const QString& subGroup, const QString& item, double value);
    // The item's text, or null when absent (names are taken as given, after XmlName).
    const QString* Find(const QString& group, const QString& subGroup, const QString& item) const;

    // False, with the reason, when the file cannot be read, is no such file or nests
    // deeper than kMaxDepth.
    bool Load(const QString& path, QString* error);
    // False, with the reason, when the file cannot be written or would not read back
    // as it stands (a name XML does not allow).
    bool Save(const QString& path, QString* error) const;

    // Files hold four levels (the root, group, sub-group, item); one nested far deeper is damaged.
    static constexpr int kItemDepth = 4;
    static constexpr int kMaxDepth = 16;

private:
    bool _Parse(QIODevice* device, QString* error);
    QByteArray _Write() const;

    std::map<QString, SubGroups> m_Groups;
};

} // namespace qvx
