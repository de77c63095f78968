// module.cpp - libopenmpt behind the module handle.
#include "platform/fsound/module.h"

#include <libopenmpt/libopenmpt.h>

namespace velunar::fsound {
namespace {
openmpt_module* Mod(void* p) { return static_cast<openmpt_module*>(p); }
}  // namespace

std::unique_ptr<Module> Module::FromBytes(const std::vector<std::uint8_t>& bytes, std::string& error) {
    int err = 0;
    const char* message = nullptr;
    openmpt_module* mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                                             nullptr, openmpt_error_func_ignore, nullptr, &err,
                                                             &message, nullptr);
    if (!mod) {
        error = message ? message : "not a module";
        openmpt_free_string(message);
        return nullptr;
    }
    openmpt_free_string(message);
    return std::unique_ptr<Module>(new Module(mod));
}

Module::~Module() { openmpt_module_destroy(Mod(m_mod)); }

int Module::Render(int rate, float* interleaved, int frames) {
    return static_cast<int>(
        openmpt_module_read_interleaved_float_stereo(Mod(m_mod), rate, static_cast<size_t>(frames), interleaved));
}

int Module::Order() const { return openmpt_module_get_current_order(Mod(m_mod)); }
int Module::Row() const { return openmpt_module_get_current_row(Mod(m_mod)); }
void Module::SetOrder(int order) { openmpt_module_set_position_order_row(Mod(m_mod), order, 0); }
void Module::Restart() { openmpt_module_set_position_seconds(Mod(m_mod), 0.0); }

void Module::SetInterpolation(int taps) {
    openmpt_module_set_render_param(Mod(m_mod), OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, taps);
}

}  // namespace velunar::fsound
