#include "ReportData.h"

#include "DataError.h"
#include "ResultSet.h"

#include <QDate>
#include <QLocale>

ReportData ReportData::fromResultSet(ResultSet& rs)
{
    ReportData data;
    Recordset& parents = rs.rows();
    data.parents.columns = parents.fieldNames();
    for (int g = 0; g < parents.recordCount(); ++g) {
        QVariantList row;
        for (int c = 0; c < data.parents.columns.size(); ++c)
            row << parents.rowValue(g, c);
        data.parents.rows << row;
        data.children << rs.children(g);
    }
    return data;
}

QString ReportData::text(const ReportControl& control, int group, int row) const
{
    if (control.kind == ReportControl::Kind::Label)
        return control.caption;
    const bool parent = control.level == ReportControl::Level::Parent;
    // Page and report bands have no row to read, a group band no child row.
    if (control.kind != ReportControl::Kind::TextBox || group < 0 || (!parent && row < 0))
        return {};
    const RowTable& table = parent ? parents : children.at(group);
    if (table.columnIndex(control.field) < 0) {
        throw DataError(
            QStringLiteral("The field \"%1\" of %2 is not in the report's data.").arg(control.field, control.name));
    }
    return generalFormat(table.value(parent ? group : row, control.field));
}

QString ReportData::generalFormat(const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        // The shortest form that reads back as the same number (2 and 1.5, not 2.000000),
        // with the user's decimal sign and no thousands separators.
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}
