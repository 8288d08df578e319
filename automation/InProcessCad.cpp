// The CAD object model in this process, reached through the shared in-process channel.
#include "automation/InProcessCad.h"

#include "platform/cad/InProcessChannel.h"
#include "platform/cad/model/ObjectModel.h"

namespace automation {

InProcessCad::InProcessCad()
    : model_(std::make_unique<cad::ObjectModel>()),
      channel_(std::make_unique<cad::InProcessChannel>(*model_)) {}

InProcessCad::~InProcessCad() = default;

cad::Application InProcessCad::application() const {
    return cad::Application(channel_.get());
}

cad::ObjectModel& InProcessCad::model() {
    return *model_;
}

void InProcessCad::setInteraction(cad::InteractionProvider* provider) {
    model_->setInteraction(provider);
}

}  // namespace automation
