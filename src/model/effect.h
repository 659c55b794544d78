#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flr {

class CEffect;

// A counted reference to a CEffect. Copying adds a reference, destruction releases it, so no
// path can leak an item or release it twice. Use on the user-interface thread only: the count
// is not atomic.
class CEffectRef {
public:
    CEffectRef() = default;
    explicit CEffectRef(CEffect* effect);  // takes a reference of its own
    CEffectRef(const CEffectRef& other);
    CEffectRef(CEffectRef&& other) noexcept : m_effect(other.m_effect) { other.m_effect = nullptr; }
    CEffectRef& operator=(CEffectRef other) noexcept
    {
        std::swap(m_effect, other.m_effect);
        return *this;
    }
    ~CEffectRef();

    CEffect* get() const { return m_effect; }
    CEffect* operator->() const { return m_effect; }
    CEffect& operator*() const { return *m_effect; }
    explicit operator bool() const { return m_effect != nullptr; }
    void reset() { CEffectRef().swap(*this); }
    void swap(CEffectRef& other) noexcept { std::swap(m_effect, other.m_effect); }

    friend bool operator==(const CEffectRef& a, const CEffectRef& b)
    {
        return a.m_effect == b.m_effect;
    }

private:
    CEffect* m_effect = nullptr;
};

// A firework item as the shows use it: one product row in memory. Shared between the
// catalogue and every entry that carries it, and destroyed with its last reference. Texts are
// bytes (Windows-1252), cut at the first zero byte: show files and the database store them
// zero-terminated.
class CEffect {
public:
    // An empty item: every number 0 except the category, which is 32; every text empty.
    static CEffectRef Create();

    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;

    int32_t GetRecordNumber() const { return m_recordNumber; }
    const std::string& GetArticleNumber() const { return m_articleNumber; }
    const std::string& GetName() const { return m_name; }
    int32_t GetSize() const { return m_size; }
    int32_t GetColor() const { return m_color; }
    int32_t GetWeight() const { return m_weight; }
    double GetPrefire() const { return m_prefire; }
    double GetDuration() const { return m_duration; }
    int32_t GetCategory() const { return m_category; }
    int32_t GetStock() const { return m_stock; }
    int32_t GetReserved() const { return m_reserved; }
    double GetInPrice() const { return m_inPrice; }
    double GetOutPrice() const { return m_outPrice; }
    int32_t GetManufacturer() const { return m_manufacturer; }
    const std::string& GetDescription() const { return m_description; }
    int32_t GetRefCount() const { return m_refCount; }

    void SetRecordNumber(int32_t value) { m_recordNumber = value; }
    // Changing the article number of an item that is in a catalogue breaks the catalogue's
    // order: remove it first and insert it again afterwards.
    void SetArticleNumber(std::string_view text);
    void SetName(std::string_view text);
    void SetSize(int32_t value) { m_size = value; }
    void SetColor(int32_t value) { m_color = value; }
    void SetWeight(int32_t value) { m_weight = value; }
    void SetPrefire(double value) { m_prefire = value; }
    void SetDuration(double value) { m_duration = value; }
    void SetCategory(int32_t value) { m_category = value; }
    void SetStock(int32_t value) { m_stock = value; }
    void SetReserved(int32_t value) { m_reserved = value; }
    void SetInPrice(double value) { m_inPrice = value; }
    void SetOutPrice(double value) { m_outPrice = value; }
    void SetManufacturer(int32_t value) { m_manufacturer = value; }
    void SetDescription(std::string_view text);

protected:
    CEffect() = default;
    virtual ~CEffect() = default;

private:
    friend class CEffectRef;
    void AddRef() { ++m_refCount; }
    void Release()
    {
        if (m_refCount-- == 1) delete this;
    }

    int32_t m_recordNumber = 0;
    std::string m_articleNumber;
    std::string m_name;
    int32_t m_size = 0;
    int32_t m_color = 0;
    int32_t m_weight = 0;
    double m_prefire = 0.0;
    double m_duration = 0.0;
    int32_t m_category = 32;
    int32_t m_stock = 0;
    int32_t m_reserved = 0;
    double m_inPrice = 0.0;
    double m_outPrice = 0.0;
    int32_t m_manufacturer = 0;
    std::string m_description;
    int32_t m_refCount = 0;
};

// Texts of the model end at their first zero byte, as the show file and the database give
// them.
std::string_view UpToZero(std::string_view text);

}  // namespace flr
