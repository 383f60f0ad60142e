// The message window as a user sees it when it opens: the OK button has the focus.
#include "Gallery.h"
#include "ui/MessageForm.h"

#include <QApplication>

namespace vorlane::gallery {

namespace {

QImage Opened(TMessageForm& form)
{
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    QImage image = Grab(form);
    form.hide();
    return image;
}

} // namespace

void AddMessageFormShots(Shots& shots)
{
    {
        TMessageForm form;
        form.SetMessage("Mail error: the connection was refused (10061) while connecting to "
                        "pop.example.org for the mailbox \"Home\".");
        shots.push_back({"MessageForm-message", Opened(form)});
    }
    {
        const MailMessageList headers = {
            {"1", {"Ann Example <ann@example.org>", "Minutes of Monday's meeting"}},
            {"2", {"Bob <bob@example.org>", ""}},
            {"3", {"Carol Example <carol@example.org>", "Re: Lunch on Friday?"}},
        };
        TMessageForm form;
        form.SetMessage("You have 3 new messages in \"Home\".");
        form.ShowHeaders(headers);
        shots.push_back({"MessageForm-headers", Opened(form)});
    }
}

} // namespace vorlane::gallery
