#pragma once

// What a widget holds of one of its callbacks: the context and the function of the pair its setter
// was given (see connect.h), called as function(context, widget, event data...) and only while
// both are set; otherwise the call does nothing and gives an empty result.
//
//     CCallback<PressCallback> m_press;          // set by SetPressCallback(context, function)
//     m_press(this, column, row);
template <class Function>
class CCallback;

template <class Result, class... Args>
class CCallback<Result (*)(void*, Args...)>
{
public:
    using Function = Result (*)(void*, Args...);

    void Set(void* context, Function function)
    {
        m_context = context;
        m_function = function;
    }
    bool IsSet() const { return m_context && m_function; }
    Result operator()(Args... args) const
    {
        if (!IsSet())
            return Result();
        return m_function(m_context, args...);
    }

private:
    void* m_context = nullptr;
    Function m_function = nullptr;
};
