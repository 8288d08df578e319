// The in-process channel: every facade call goes straight to the object model's dispatch tables.
#include "automation/InProcessCad.h"

#include "platform/cad/model/ObjectModel.h"

namespace automation {

class InProcessCad::LocalChannel : public cad::Channel {
public:
    explicit LocalChannel(cad::ObjectModel& model) : model_(model) {}
    cad::Variant call(cad::ObjectId object, const QString& member, cad::CallKind kind,
                      std::span<const cad::Variant> args) override {
        return model_.invoke(object, member, kind, args);
    }

private:
    cad::ObjectModel& model_;
};

InProcessCad::InProcessCad()
    : model_(std::make_unique<cad::ObjectModel>()), channel_(std::make_unique<LocalChannel>(*model_)) {}

InProcessCad::~InProcessCad() = default;

cad::Application InProcessCad::application() const { return cad::Application(channel_.get()); }

cad::ObjectModel& InProcessCad::model() { return *model_; }

void InProcessCad::setInteraction(cad::InteractionProvider* provider) { model_->setInteraction(provider); }

}  // namespace automation
