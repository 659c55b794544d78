#include "model/effect.h"

namespace flr {

std::string_view UpToZero(std::string_view text)
{
    const size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

CEffectRef::CEffectRef(CEffect* effect) : m_effect(effect)
{
    if (m_effect) m_effect->AddRef();
}

CEffectRef::CEffectRef(const CEffectRef& other) : m_effect(other.m_effect)
{
    if (m_effect) m_effect->AddRef();
}

CEffectRef::~CEffectRef()
{
    if (m_effect) m_effect->Release();
}

CEffectRef CEffect::Create() { return CEffectRef(new CEffect()); }

void CEffect::SetArticleNumber(std::string_view text) { m_articleNumber = UpToZero(text); }
void CEffect::SetName(std::string_view text) { m_name = UpToZero(text); }
void CEffect::SetDescription(std::string_view text) { m_description = UpToZero(text); }

}  // namespace flr
