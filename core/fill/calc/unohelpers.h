#pragma once

// Strings, file URLs and property lists between Qt and UNO, and closing
// what the office loaded.
#include <algorithm>
#include <initializer_list>

#include <QFileInfo>
#include <QString>
#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/util/XCloseable.hpp>

namespace CalcOffice {

inline QString fromOU(const rtl::OUString &s)
{
    return QString(reinterpret_cast<const QChar *>(s.getStr()), s.getLength());
}

inline rtl::OUString toOU(const QString &s)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(s.utf16()), s.size());
}

// A local path as the file URL the office loads and stores.
inline QString fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

inline css::beans::PropertyValue property(const char *name, const css::uno::Any &value)
{
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

// The SDK's own list constructor is for the office's internal builds only.
inline css::uno::Sequence<css::beans::PropertyValue> properties(std::initializer_list<css::beans::PropertyValue> list)
{
    css::uno::Sequence<css::beans::PropertyValue> seq(static_cast<sal_Int32>(list.size()));
    std::copy(list.begin(), list.end(), seq.getArray());
    return seq;
}

// Closed as a user would close it, unsaved; what cannot be closed is
// disposed. Throws what the office throws.
inline void closeComponent(const css::uno::Reference<css::lang::XComponent> &component)
{
    css::uno::Reference<css::util::XCloseable> closeable(component, css::uno::UNO_QUERY);
    if (closeable.is())
        closeable->close(true);
    else
        component->dispose();
}

} // namespace CalcOffice
