#include "gui/QtTranslation.h"

#include <QCoreApplication>

#include <cstring>

namespace korvel {

namespace {

// Qt 6 asks for the file types its file dialog shows ("Folder") in a context of their own,
// which the distribution's translation lacks; it still holds them in the file dialog's
// context, where Qt 5 asked for them.
class MovedQtTexts : public QTranslator
{
public:
    explicit MovedQtTexts(const QTranslator& qtTexts) : m_qtTexts(qtTexts) {}

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        if (std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return QString();
        return m_qtTexts.translate("QFileDialog", sourceText, disambiguation, n);
    }

private:
    const QTranslator& m_qtTexts;
};

} // namespace

QtInChinese::QtInChinese(const QString& directory)
    : m_movedTexts(std::make_unique<MovedQtTexts>(m_qtTexts)),
      m_installed(m_qtTexts.load(QStringLiteral("qtbase_zh_CN"), directory) &&
                  QCoreApplication::installTranslator(&m_qtTexts))
{
    if (!m_installed)
        return;
    QCoreApplication::installTranslator(m_movedTexts.get());
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

QtInChinese::~QtInChinese()
{
    QLocale::setDefault(m_previousLocale);
}

} // namespace korvel
