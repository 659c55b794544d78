#include "model/effect.h"

namespace flr {

std::string_view UpToZero(std::string_view text)
{
    const size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

EffectRef::EffectRef(CEffect* effect) : m_effect(effect)
{
    if (m_effect) m_effect->AddRef();
}

EffectRef::EffectRef(const EffectRef& other) : m_effect(other.m_effect)
{
    if (m_effect) m_effect->AddRef();
}

EffectRef::~EffectRef()
{
    if (m_effect) m_effect->Release();
}

EffectRef CEffect::Create() { return EffectRef(new CEffect()); }

void CEffect::SetArticleNumber(std::string_view text) { m_articleNumber = UpToZero(text); }
void CEffect::SetName(std::string_view text) { m_name = UpToZero(text); }
void CEffect::SetDescription(std::string_view text) { m_description = UpToZero(text); }

}  // namespace flr
