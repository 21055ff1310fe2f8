#include "model/personality_entries.h"

#include "foundation/owned_list.h"
#include "foundation/xml_element.h"
#include "model/personality_manager.h"
#include "model/personality_ref.h"

#include <tinyxml.h>

namespace
{
// 0xFFFFFFFF when absent.
template <typename T>
uint32_t PositionOf(const std::vector<std::unique_ptr<T>>& list, const void* item)
{
    const int32_t position = PositionIn(list, item);
    return position < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(position);
}

std::string LabelOf(const TiXmlElement* element)
{
    const char* label = element->Attribute("label");
    return label ? CleanPersonalityLabel(label) : std::string();
}
}  // namespace

int32_t CMode::GetIndex() const
{
    return m_owner ? static_cast<int32_t>(m_owner->GetModeIndex(this)) : -1;
}

void CMode::ReadXml(const TiXmlNode* node)
{
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    if (!element)
        return;
    m_label = LabelOf(element);
    // The element's own text, not its modes' (a model's modes are its child elements).
    const std::string profile = XmlText(element);
    if (!profile.empty())
        m_profile = profile;
}

CModel::~CModel()
{
    DeleteBackwards(m_modes);
}

CMode* CModel::GetMode(uint32_t index) const
{
    return ItemAt(m_modes, index);
}

CMode* CModel::FindMode(const std::string& label) const
{
    return m_modeIndex.Find(m_modes, label);
}

uint32_t CModel::GetModeIndex(const CMode* mode) const
{
    return PositionOf(m_modes, mode);
}

int32_t CModel::GetIndex() const
{
    return m_owner ? static_cast<int32_t>(m_owner->GetModelIndex(this)) : -1;
}

void CModel::ReadXml(const TiXmlNode* node)
{
    CMode::ReadXml(node);
    if (!node)
        return;
    for (const TiXmlElement* child : XmlChildren(node, "mode"))
    {
        m_modes.push_back(std::make_unique<CMode>(this));
        m_modes.back()->ReadXml(child);
    }
    m_modeIndex.Make(m_modes);
}

std::string CModel::GetProfile(const std::string& mode) const
{
    if (const CMode* found = FindMode(mode))
        return found->GetProfile();
    return m_profile;
}

CManufacturer::~CManufacturer()
{
    DeleteBackwards(m_models);
}

int32_t CManufacturer::GetIndex() const
{
    return m_owner ? m_owner->GetManufacturerIndex(this) : -1;
}

CModel* CManufacturer::GetModel(uint32_t index) const
{
    return ItemAt(m_models, index);
}

CModel* CManufacturer::FindModel(const std::string& label) const
{
    return m_modelIndex.Find(m_models, label);
}

uint32_t CManufacturer::GetModelIndex(const CModel* model) const
{
    return PositionOf(m_models, model);
}

void CManufacturer::ReadXml(const TiXmlNode* node)
{
    if (!node)
        return;
    if (const TiXmlElement* element = node->ToElement())
        m_label = LabelOf(element);
    // Only "model" elements are models: comments, other nodes and elements of other names are none.
    for (const TiXmlElement* child : XmlChildren(node, "model"))
    {
        m_models.push_back(std::make_unique<CModel>(this));
        m_models.back()->ReadXml(child);
    }
    m_modelIndex.Make(m_models);
}

std::string CManufacturer::GetProfile(const CPersonalityRef& personality) const
{
    const CModel* model = FindModel(personality.GetModel());
    return model ? model->GetProfile(personality.GetMode()) : std::string();
}
