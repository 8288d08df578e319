// The CAD object model run inside this process: the connection used until the socket channel to the
// CAD host is plugged in, and the one tests drive with a scripted interaction provider.
#pragma once

#include "platform/cad/Application.h"
#include "platform/cad/model/Interaction.h"

#include <memory>

namespace cad {
class ObjectModel;
class InProcessChannel;
}  // namespace cad

namespace automation {

class InProcessCad {
public:
    InProcessCad();
    ~InProcessCad();
    InProcessCad(const InProcessCad&) = delete;
    InProcessCad& operator=(const InProcessCad&) = delete;

    // The application object of this model.
    cad::Application application() const;
    cad::ObjectModel& model();
    // Picks and command inputs are answered by this provider (not owned); nullptr: none.
    void setInteraction(cad::InteractionProvider* provider);

private:
    std::unique_ptr<cad::ObjectModel> model_;
    std::unique_ptr<cad::InProcessChannel> channel_;
};

}  // namespace automation
