// "_properties": layer, colour and linetype of the selected objects, in one small window; what is
// left at "*różne*" or unchanged stays as each object has it.
#pragma once

#include "platform/cad/model/ObjectModel.h"

#include <QDialog>
#include <optional>
#include <vector>

class QComboBox;

namespace cadhost {

struct PropertyChoice {
    std::optional<QString> layer;
    std::optional<int> color;  // 256 by layer, 0 by block, 1..255 an index
    std::optional<QString> linetype;
};

// Sets what was chosen on the entities through the model; returns the note for the user, naming
// the objects that refused a value (a layer that is locked, a linetype not loaded, ...).
QString ApplyProperties(cad::ObjectModel& model, cad::DocumentState* doc,
                        const std::vector<cad::db::Entity*>& entities, const PropertyChoice& choice);

class PropertiesDialog : public QDialog {
    Q_OBJECT
public:
    PropertiesDialog(const cad::db::Database& db, const std::vector<cad::db::Entity*>& entities,
                     QWidget* parent = nullptr);
    // What the user changed (nothing when a field was left as it was shown).
    PropertyChoice choice() const;
    QComboBox* layer() const { return layer_; }
    QComboBox* color() const { return color_; }
    QComboBox* linetype() const { return linetype_; }

private:
    QComboBox* layer_;
    QComboBox* color_;
    QComboBox* linetype_;
    QString shownLayer_, shownColor_, shownLinetype_;
};

}  // namespace cadhost
