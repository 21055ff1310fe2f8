#pragma once

#include <type_traits>
#include <utility>

// Hands a widget's callback setter a member function of the object that listens, so that the
// listener writes an ordinary member function instead of a static one that casts its context:
//
//     Connect<&CAreaSettings::OnButtonClick>(button, &CAreaButton::SetClickCallback, this);
//
// does button->SetClickCallback(this, f), where f(context, button) calls OnButtonClick(button) on
// the page the context names. The member takes the callback's arguments after the context, or none at
// all. It fails to compile when the member cannot take them or the listener is not of the member's
// class (or derived from it).
namespace connect_detail
{
template <auto Member>
struct SClassOf;

template <class Listener, class Type, Type Listener::*Member>
struct SClassOf<Member>
{
    using Class = Listener;
};

template <class Function>
struct STrampoline;

template <class Result, class... Args>
struct STrampoline<Result (*)(void*, Args...)>
{
    template <auto Member, class Listener>
    static Result Call(void* context, Args... args)
    {
        Listener* listener = static_cast<Listener*>(context);
        if constexpr (std::is_invocable_v<decltype(Member), Listener*, Args...>)
            return (listener->*Member)(std::forward<Args>(args)...);
        else
            return (listener->*Member)();
    }
};
}  // namespace connect_detail

template <auto Member, class Widget, class Owner, class Function>
void Connect(Widget* widget, void (Owner::*setter)(void*, Function),
             typename connect_detail::SClassOf<Member>::Class* listener)
{
    using Listener = typename connect_detail::SClassOf<Member>::Class;
    // The context is the member's own class, whatever class the caller holds the listener as.
    (widget->*setter)(static_cast<void*>(listener),
                      &connect_detail::STrampoline<Function>::template Call<Member, Listener>);
}
