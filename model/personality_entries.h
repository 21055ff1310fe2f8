#pragma once

#include "foundation/subject.h"
#include "model/personality_label_index.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CManufacturer;
class CModel;
class CPersonalityManager;
class CPersonalityRef;
class TiXmlNode;

// Entries of the personality library, read once and never changed. Each owner keeps its children
// in file order and deletes them, last first. A node that is no element still makes an entry with
// an empty label, so that positions follow the file.

// A DMX mode of a model: its label and channel-type profile.
class CMode : public CSubject
{
public:
    // The part of a model: no owner.
    CMode() = default;
    explicit CMode(CModel* owner) : m_owner(owner) {}
    CMode(const CMode&) = delete;
    CMode& operator=(const CMode&) = delete;

    const std::string& GetLabel() const { return m_label; }
    std::string GetProfile() const { return m_profile; }
    // The position in the owner's list; -1 without an owner.
    virtual int32_t GetIndex() const;
    // Label and profile (the element's text) of an element; nothing for other nodes.
    virtual void ReadXml(const TiXmlNode* node);

protected:
    std::string m_label;
    std::string m_profile;

private:
    CModel* m_owner = nullptr;
};

// A fixture model: its own label and profile (the part it shares with a mode) and its modes.
class CModel : public CMode
{
public:
    explicit CModel(CManufacturer* owner) : m_owner(owner) {}
    ~CModel() override;

    uint32_t GetModeCount() const { return static_cast<uint32_t>(m_modes.size()); }
    // Null past the end.
    CMode* GetMode(uint32_t index) const;
    // The first mode whose label matches ignoring ASCII case, or null; looked up, not searched.
    CMode* FindMode(const std::string& label) const;
    // 0xFFFFFFFF when the mode is not the model's.
    uint32_t GetModeIndex(const CMode* mode) const;
    // The position in the manufacturer's list.
    int32_t GetIndex() const override;
    // Its own label and profile, then every "mode" child element as a mode.
    void ReadXml(const TiXmlNode* node) override;
    // The named mode's profile; the model's own when it has no mode of that label.
    std::string GetProfile(const std::string& mode) const;
    using CMode::GetProfile;

private:
    CManufacturer* m_owner;
    std::vector<std::unique_ptr<CMode>> m_modes;
    CPersonalityLabelIndex<CMode> m_modeIndex;
};

class CManufacturer : public CSubject
{
public:
    explicit CManufacturer(CPersonalityManager* owner) : m_owner(owner) {}
    ~CManufacturer() override;
    CManufacturer(const CManufacturer&) = delete;
    CManufacturer& operator=(const CManufacturer&) = delete;

    const std::string& GetLabel() const { return m_label; }
    // Only while the library reads it: its look-up is made once it is read.
    void SetLabel(const std::string& label) { m_label = label; }
    int32_t GetIndex() const;

    uint32_t GetModelCount() const { return static_cast<uint32_t>(m_models.size()); }
    CModel* GetModel(uint32_t index) const;
    // The first model whose label matches ignoring ASCII case, or null; looked up, not searched.
    CModel* FindModel(const std::string& label) const;
    // 0xFFFFFFFF when the model is not this manufacturer's.
    uint32_t GetModelIndex(const CModel* model) const;
    // Its label, then every child node as a model.
    void ReadXml(const TiXmlNode* node);
    // The profile of the reference's model and mode; empty when the model is not found.
    std::string GetProfile(const CPersonalityRef& personality) const;

private:
    CPersonalityManager* m_owner;
    std::vector<std::unique_ptr<CModel>> m_models;
    CPersonalityLabelIndex<CModel> m_modelIndex;
    std::string m_label;
};
