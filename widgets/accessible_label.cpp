#include "accessible_label.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QTextDocument>

namespace {

QStringList CaptionNames(const QWidget* value) {
    return value->property(kCaptionsProperty).toStringList();
}

// The nearest label of that name: a form's names are unique, but a sheet holds several forms.
QLabel* FindCaption(const QWidget* value, const QString& name) {
    for (QWidget* scope = value->parentWidget(); scope != nullptr; scope = scope->parentWidget()) {
        if (auto* caption = scope->findChild<QLabel*>(name)) {
            return caption;
        }
        if (scope->isWindow()) {
            break;
        }
    }
    return nullptr;
}

// The captions that label a value text: the sibling labels whose buddy it is, then those its
// captions property names.
QList<QLabel*> CaptionsOf(const QWidget* value) {
    QList<QLabel*> captions;
    if (const QWidget* parent = value->parentWidget()) {
        for (QLabel* sibling : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (sibling->buddy() == value) {
                captions << sibling;
            }
        }
    }
    for (const QString& name : CaptionNames(value)) {
        QLabel* caption = FindCaption(value, name);
        if (caption != nullptr && !captions.contains(caption)) {
            captions << caption;
        }
    }
    return captions;
}

// The value texts this caption labels.
QList<QWidget*> LabelledValues(const QLabel* caption) {
    QList<QWidget*> values;
    if (caption->buddy() != nullptr) {
        values << caption->buddy();
    }
    if (caption->objectName().isEmpty()) {
        return values;
    }
    const QList<QWidget*> candidates = caption->window()->findChildren<QWidget*>();
    for (QWidget* candidate : candidates) {
        if (!values.contains(candidate) &&
            CaptionNames(candidate).contains(caption->objectName()) &&
            FindCaption(candidate, caption->objectName()) == caption) {
            values << candidate;
        }
    }
    return values;
}

class CAccessibleLabel : public QAccessibleWidget {
public:
    explicit CAccessibleLabel(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText),
          m_clickable(label->metaObject()->indexOfSignal("clicked()") >= 0) {}

    QAccessible::Role role() const override {
        return Label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return ShownText(Label());
        }
        return QAccessibleWidget::text(t);
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        QList<QPair<QAccessibleInterface*, QAccessible::Relation>> related;
        const auto add = [&related](QObject* object, QAccessible::Relation relation) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
            if (iface != nullptr && !related.contains(qMakePair(iface, relation))) {
                related << qMakePair(iface, relation);
            }
        };
        // Qt's own: sibling captions whose buddy this is, and a titled group around it.
        related = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Label) != 0) {
            for (QLabel* caption : CaptionsOf(Label())) {
                add(caption, QAccessible::Label);
            }
        }
        if ((match & QAccessible::Labelled) != 0) {
            for (QWidget* value : LabelledValues(Label())) {
                add(value, QAccessible::Labelled);
            }
        }
        return related;
    }

    QStringList actionNames() const override {
        return m_clickable && widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }

    void doAction(const QString& actionName) override {
        if (m_clickable && widget()->isEnabled() && actionName == pressAction()) {
            // Queued, as a button's: the assistive technology has its answer first.
            QMetaObject::invokeMethod(widget(), "clicked", Qt::QueuedConnection);
        }
    }

private:
    QLabel* Label() const { return static_cast<QLabel*>(widget()); }

    bool m_clickable;
};

} // namespace

QAccessibleInterface* CreateAccessibleLabel(QLabel* label) {
    return new CAccessibleLabel(label);
}

QString ShownText(const QLabel* label) {
    QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
    }
    return label->buddy() != nullptr ? WithoutMnemonic(text) : text;
}

QString WithoutMnemonic(const QString& text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && i + 1 < text.size()) {
            ++i;
        }
        plain += text.at(i);
    }
    return plain;
}
