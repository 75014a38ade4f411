/*
 * xprobe - start-up, memory and key response of one X11 drill window, seen
 * from the X server.
 *
 *   xprobe [options] -- PROGRAM [ARGS...]
 *
 * Starts PROGRAM (own process group, working directory unchanged) and
 * watches every new top-level window: a DAMAGE object is made for each one
 * as soon as it is created, so no drawing can be missed. The window whose
 * title matches -t is the drill window.
 *
 *   start-up   process start (just before fork) to the first damage of the
 *              drill window after it is mapped: its first painted frame
 *              (with the CPU time of the program's threads so far and the
 *              time its main thread waited for a core, from schedstat)
 *   memory     VmHWM / VmRSS of the process once the window has been quiet
 *              for -S ms after start-up, and again at the end
 *   keys       with -n N: press Space (-s), then answer N questions. The
 *              program shows a character that the probe cannot read, so it
 *              hunts: it tries the candidate keys (-k) one by one. A wrong
 *              key makes the program ring the bell (XKB BellNotify), a right
 *              one repaints the window (DamageNotify); whichever comes first
 *              decides, so no time-out is needed per key. For each right key
 *              the time from the XTest press to the first damage is one
 *              sample; the damage that follows within -b ms is its burst,
 *              whose rectangles give the repainted area.
 *   wrong keys with -w M: M presses of a key that is never shown (-x); each
 *              must ring the bell and damage nothing within -g ms.
 *   results    with -r RE: the N-th right key ends the run; the probe waits
 *              for a window titled RE to be painted and quiet, then reads
 *              the memory again.
 *
 * Output: key=value lines on stdout; with -o FILE one line per timed key:
 *   right <question> <key> <first_damage_us> <burst_us> <rects> <area_px>
 *   bbox <x> <y> <w> <h>
 *
 * Exit status 0 when every figure asked for was measured.
 */
#define _GNU_SOURCE
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <dirent.h>
#include <errno.h>
#include <poll.h>
#include <regex.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_WINDOWS 256

struct tracked {
    Window win;
    Damage damage;
    int mapped;
    double first_damage; /* us since t0, -1 before the first one after map */
    double last_damage;
};

static Display *dpy;
static int damage_event_base, damage_error_base, xkb_event_base;
static struct tracked windows[MAX_WINDOWS];
static int window_count;
static double t0;
static int verbose;

static Window drill_window;
static Window results_window;
static regex_t drill_title, results_title;
static int have_results_title;

/* Counters fed by the event handler. */
static long bells;
static double last_bell;
static double last_drill_damage = -1;
static long burst_rects;
static long long burst_area;
static int burst_x0, burst_y0, burst_x1, burst_y1;

static double now_us(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec * 1e6 + ts.tv_nsec / 1e3 - t0;
}

static void debug(const char *format, ...)
{
    if (!verbose)
        return;
    va_list args;
    va_start(args, format);
    fprintf(stderr, "[%10.0f] ", now_us());
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
}

static int ignore_x_errors(Display *d, XErrorEvent *e)
{
    (void)d;
    /* Windows come and go (menus, tooltips) while we make damage objects. */
    if (verbose)
        fprintf(stderr, "X error %d (request %d) ignored\n", e->error_code, e->request_code);
    return 0;
}

static struct tracked *find_window(Window w)
{
    for (int i = 0; i < window_count; i++)
        if (windows[i].win == w)
            return &windows[i];
    return NULL;
}

static char *window_title(Window w)
{
    Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(dpy, w, net_wm_name, 0, 1024, False, utf8, &type, &format, &count, &after, &data)
            == Success
        && data != NULL && count > 0) {
        char *title = strdup((char *)data);
        XFree(data);
        return title;
    }
    if (data)
        XFree(data);
    char *name = NULL;
    if (XFetchName(dpy, w, &name) && name != NULL) {
        char *title = strdup(name);
        XFree(name);
        return title;
    }
    return NULL;
}

static void classify(struct tracked *t)
{
    if (!t->mapped)
        return;
    char *title = window_title(t->win);
    if (title == NULL)
        return;
    if (drill_window == None && regexec(&drill_title, title, 0, NULL, 0) == 0) {
        drill_window = t->win;
        debug("drill window 0x%lx '%s'", t->win, title);
    } else if (have_results_title && results_window == None && t->win != drill_window
               && regexec(&results_title, title, 0, NULL, 0) == 0) {
        results_window = t->win;
        debug("results window 0x%lx '%s'", t->win, title);
    }
    free(title);
}

static void handle_event(XEvent *ev, double when)
{
    if (ev->type == CreateNotify) {
        XCreateWindowEvent *c = &ev->xcreatewindow;
        if (c->parent != DefaultRootWindow(dpy) || window_count >= MAX_WINDOWS || find_window(c->window))
            return;
        struct tracked *t = &windows[window_count++];
        memset(t, 0, sizeof *t);
        t->win = c->window;
        t->first_damage = -1;
        t->damage = XDamageCreate(dpy, c->window, XDamageReportRawRectangles);
        XSelectInput(dpy, c->window, PropertyChangeMask);
        debug("create 0x%lx", c->window);
    } else if (ev->type == MapNotify) {
        struct tracked *t = find_window(ev->xmap.window);
        if (t) {
            t->mapped = 1;
            debug("map 0x%lx", t->win);
            classify(t);
        }
    } else if (ev->type == UnmapNotify) {
        struct tracked *t = find_window(ev->xunmap.window);
        if (t)
            t->mapped = 0;
    } else if (ev->type == PropertyNotify) {
        struct tracked *t = find_window(ev->xproperty.window);
        if (t)
            classify(t);
    } else if (ev->type == damage_event_base + XDamageNotify) {
        XDamageNotifyEvent *d = (XDamageNotifyEvent *)ev;
        struct tracked *t = find_window(d->drawable);
        if (t == NULL || !t->mapped)
            return;
        if (t->first_damage < 0)
            t->first_damage = when;
        t->last_damage = when;
        if (t->win == drill_window) {
            last_drill_damage = when;
            burst_rects++;
            burst_area += (long long)d->area.width * d->area.height;
            if (burst_rects == 1) {
                burst_x0 = d->area.x;
                burst_y0 = d->area.y;
                burst_x1 = d->area.x + d->area.width;
                burst_y1 = d->area.y + d->area.height;
            } else {
                if (d->area.x < burst_x0) burst_x0 = d->area.x;
                if (d->area.y < burst_y0) burst_y0 = d->area.y;
                if (d->area.x + d->area.width > burst_x1) burst_x1 = d->area.x + d->area.width;
                if (d->area.y + d->area.height > burst_y1) burst_y1 = d->area.y + d->area.height;
            }
        }
        debug("damage 0x%lx %dx%d+%d+%d", t->win, d->area.width, d->area.height, d->area.x, d->area.y);
    } else if (ev->type == xkb_event_base) {
        XkbEvent *x = (XkbEvent *)ev;
        if (x->any.xkb_type == XkbBellNotify) {
            bells++;
            last_bell = when;
            debug("bell");
        }
    }
}

/* Handles events until the deadline (us since t0) or until stop() says so.
 * Returns 1 when stopped, 0 at the deadline. */
static int pump_until(double deadline, int (*stop)(void))
{
    for (;;) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            handle_event(&ev, now_us());
            if (stop && stop())
                return 1;
        }
        if (stop && stop())
            return 1;
        double left = deadline - now_us();
        if (left <= 0)
            return 0;
        struct pollfd pfd = {ConnectionNumber(dpy), POLLIN, 0};
        int ms = (int)(left / 1000.0) + 1;
        poll(&pfd, 1, ms);
    }
}

/* Waits until the drill window has had no damage and no bell for quiet_ms,
 * giving up after max_ms. */
static void wait_quiet(double quiet_ms, double max_ms)
{
    double give_up = now_us() + max_ms * 1000;
    for (;;) {
        double last = last_drill_damage > last_bell ? last_drill_damage : last_bell;
        double until = last + quiet_ms * 1000;
        double now = now_us();
        if (until <= now || now >= give_up)
            return;
        pump_until(until < give_up ? until : give_up, NULL);
    }
}

static pid_t child;
static int have_drill_paint(void)
{
    if (drill_window == None)
        return 0;
    struct tracked *t = find_window(drill_window);
    return t && t->first_damage >= 0;
}
static int have_results_paint(void)
{
    if (results_window == None)
        return 0;
    struct tracked *t = find_window(results_window);
    return t && t->first_damage >= 0;
}

static long status_kib(const char *field)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", (int)child);
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    size_t n = strlen(field);
    while (fgets(line, sizeof line, f))
        if (strncmp(line, field, n) == 0 && line[n] == ':') {
            value = strtol(line + n + 1, NULL, 10);
            break;
        }
    fclose(f);
    return value;
}

/* CPU time of all the program's threads and the time its main thread spent
 * runnable but waiting for a core, both in us, from /proc/PID/.../schedstat. */
static void scheduler_times(double *cpu_us, double *waited_us)
{
    *cpu_us = 0;
    *waited_us = 0;
    char path[320];
    snprintf(path, sizeof path, "/proc/%d/task", (int)child);
    DIR *tasks = opendir(path);
    if (!tasks)
        return;
    struct dirent *task;
    while ((task = readdir(tasks)) != NULL) {
        if (task->d_name[0] == '.')
            continue;
        snprintf(path, sizeof path, "/proc/%d/task/%s/schedstat", (int)child, task->d_name);
        FILE *f = fopen(path, "r");
        if (!f)
            continue;
        unsigned long long on_cpu = 0, waiting = 0;
        if (fscanf(f, "%llu %llu", &on_cpu, &waiting) == 2) {
            *cpu_us += on_cpu / 1e3;
            if (atoi(task->d_name) == (int)child)
                *waited_us = waiting / 1e3;
        }
        fclose(f);
    }
    closedir(tasks);
}

static void stop_child(void)
{
    if (child <= 0)
        return;
    kill(-child, SIGTERM);
    for (int i = 0; i < 100; i++) {
        if (waitpid(child, NULL, WNOHANG) == child) {
            child = 0;
            return;
        }
        usleep(10000);
    }
    kill(-child, SIGKILL);
    waitpid(child, NULL, 0);
    child = 0;
}

static int saved_repeat = -1;
static void restore_repeat(void)
{
    if (saved_repeat == 1) {
        XAutoRepeatOn(dpy);
        XFlush(dpy);
    }
}

static void press(KeyCode code, int down)
{
    XTestFakeKeyEvent(dpy, code, down ? True : False, CurrentTime);
    XFlush(dpy);
}

/* What a key press led to. */
enum outcome { RIGHT, WRONG, RESULTS, SILENT };
static long press_bells;
static double press_time;
static int key_answered(void)
{
    return last_drill_damage >= press_time || bells > press_bells || (results_window != None);
}

static enum outcome press_and_judge(KeyCode code, double timeout_ms, int expect_results, double *latency)
{
    press_bells = bells;
    long rects_before = burst_rects;
    (void)rects_before;
    burst_rects = 0;
    burst_area = 0;
    press_time = now_us();
    press(code, 1);
    int answered = pump_until(press_time + timeout_ms * 1000, key_answered);
    enum outcome result = SILENT;
    if (answered) {
        if (last_drill_damage >= press_time) {
            *latency = last_drill_damage - press_time;
            result = RIGHT;
        } else if (bells > press_bells) {
            *latency = last_bell - press_time;
            result = WRONG;
            /* The last question of a run ends with a bell and the results
             * window instead of a repaint. */
            if (expect_results) {
                pump_until(now_us() + 300 * 1000, have_results_paint);
                if (results_window != None)
                    result = RESULTS;
            }
        } else {
            result = RESULTS;
        }
    }
    press(code, 0);
    return result;
}

static void usage(void)
{
    fprintf(stderr,
            "usage: xprobe [-t TITLE_RE] [-r RESULTS_RE] [-n QUESTIONS] [-k KEYS] [-s] [-w WRONG] [-x KEY]\n"
            "              [-S SETTLE_MS] [-q QUIET_MS] [-b BURST_MS] [-g WRONG_WAIT_MS] [-o FILE] [-v]\n"
            "              -- PROGRAM [ARGS...]\n");
    exit(2);
}

static int compare_doubles(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return x < y ? -1 : x > y;
}

int main(int argc, char **argv)
{
    const char *title_re = "^Tekkora!$";
    const char *results_re = NULL;
    const char *candidates = "0123456789";
    const char *wrong_key = "q";
    const char *per_key_file = NULL;
    int questions = 0, wrong_presses = 0, start_with_space = 0;
    double settle_ms = 1000, quiet_ms = 4, burst_ms = 4, wrong_wait_ms = 60;

    int opt;
    while ((opt = getopt(argc, argv, "t:r:n:k:sw:x:S:q:b:g:o:v")) != -1) {
        switch (opt) {
        case 't': title_re = optarg; break;
        case 'r': results_re = optarg; break;
        case 'n': questions = atoi(optarg); break;
        case 'k': candidates = optarg; break;
        case 's': start_with_space = 1; break;
        case 'w': wrong_presses = atoi(optarg); break;
        case 'x': wrong_key = optarg; break;
        case 'S': settle_ms = atof(optarg); break;
        case 'q': quiet_ms = atof(optarg); break;
        case 'b': burst_ms = atof(optarg); break;
        case 'g': wrong_wait_ms = atof(optarg); break;
        case 'o': per_key_file = optarg; break;
        case 'v': verbose = 1; break;
        default: usage();
        }
    }
    if (optind >= argc)
        usage();
    if (regcomp(&drill_title, title_re, REG_EXTENDED | REG_NOSUB) != 0) {
        fprintf(stderr, "xprobe: bad title pattern\n");
        return 2;
    }
    if (results_re) {
        if (regcomp(&results_title, results_re, REG_EXTENDED | REG_NOSUB) != 0) {
            fprintf(stderr, "xprobe: bad results pattern\n");
            return 2;
        }
        have_results_title = 1;
    }

    dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "xprobe: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(ignore_x_errors);
    int major, minor, ev, err, opcode;
    if (!XDamageQueryExtension(dpy, &damage_event_base, &damage_error_base)
        || !XTestQueryExtension(dpy, &ev, &err, &major, &minor)) {
        fprintf(stderr, "xprobe: the X server lacks DAMAGE or XTEST\n");
        return 2;
    }
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(dpy, &opcode, &xkb_event_base, &err, &major, &minor)) {
        fprintf(stderr, "xprobe: the X server lacks XKB\n");
        return 2;
    }
    XkbSelectEvents(dpy, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);

    XKeyboardState keyboard;
    XGetKeyboardControl(dpy, &keyboard);
    saved_repeat = keyboard.global_auto_repeat == AutoRepeatModeOn;
    XAutoRepeatOff(dpy);
    XSync(dpy, False);

    /* The clock starts just before the program does. */
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    t0 = (double)ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
    child = fork();
    if (child < 0) {
        perror("fork");
        return 2;
    }
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[optind], argv + optind);
        perror("exec");
        _exit(127);
    }
    setpgid(child, child);

    int ok = 1;
    if (!pump_until(now_us() + 20e6, have_drill_paint)) {
        fprintf(stderr, "xprobe: no painted window titled '%s' within 20 s\n", title_re);
        stop_child();
        restore_repeat();
        return 1;
    }
    struct tracked *drill = find_window(drill_window);
    double cpu_us, waited_us;
    scheduler_times(&cpu_us, &waited_us);
    printf("startup_paint_us=%.0f\n", drill->first_damage);
    /* Read a moment after the frame: an upper bound of the CPU it took. */
    printf("startup_cpu_us=%.0f\nstartup_runqueue_us=%.0f\n", cpu_us, waited_us);
    fflush(stdout);

    /* Settled: no drawing for a while, then the memory of the idle window. */
    wait_quiet(settle_ms, 10000);
    printf("startup_hwm_kib=%ld\nstartup_rss_kib=%ld\n", status_kib("VmHWM"), status_kib("VmRSS"));
    XWindowAttributes attributes;
    if (XGetWindowAttributes(dpy, drill_window, &attributes))
        printf("window_px=%dx%d\n", attributes.width, attributes.height);
    fflush(stdout);

    if (questions > 0 || wrong_presses > 0) {
        /* Keys go to the window that holds the input focus. */
        Window focus;
        int revert;
        XGetInputFocus(dpy, &focus, &revert);
        if (focus != drill_window) {
            XSetInputFocus(dpy, drill_window, RevertToParent, CurrentTime);
            XSync(dpy, False);
            last_drill_damage = now_us();
            wait_quiet(100, 2000);
        }
        if (start_with_space) {
            double ignored;
            press_and_judge(XKeysymToKeycode(dpy, XK_space), 1000, 0, &ignored);
            wait_quiet(200, 3000);
        }
    }

    FILE *per_key = per_key_file ? fopen(per_key_file, "w") : NULL;
    double *latencies = calloc((size_t)questions + 1, sizeof(double));
    long right = 0, hunted_wrong = 0, hunted_wrong_damaged = 0, silent = 0;
    long long area_sum = 0;
    long area_max = 0;
    int last_right = -1;
    int ncand = (int)strlen(candidates);
    KeyCode codes[64];
    for (int i = 0; i < ncand && i < 64; i++) {
        char name[2] = {candidates[i], 0};
        codes[i] = XKeysymToKeycode(dpy, XStringToKeysym(name));
    }
    int ended = 0;
    for (int q = 1; q <= questions && !ended; q++) {
        int found = 0;
        /* Start where the last hunt ended, so the order carries no pattern
         * the program could line up with. */
        for (int tries = 0; tries < ncand && !found; tries++) {
            int c = (last_right + 1 + tries + q) % ncand;
            if (c == last_right)
                continue; /* a character never follows itself */
            wait_quiet(quiet_ms, 2000);
            double latency = 0;
            enum outcome o = press_and_judge(codes[c], 2000, have_results_title && q == questions, &latency);
            if (o == RIGHT) {
                /* Follow the burst: everything drawn until it goes quiet. */
                pump_until(now_us() + burst_ms * 1000, NULL);
                wait_quiet(burst_ms, 1000);
                double burst = last_drill_damage - press_time;
                long area = (long)burst_area;
                latencies[right++] = latency;
                area_sum += area;
                if (area > area_max)
                    area_max = area;
                if (per_key)
                    fprintf(per_key, "right %d %c %.0f %.0f %ld %ld bbox %d %d %d %d\n", q, candidates[c], latency,
                            burst, burst_rects, area, burst_x0, burst_y0, burst_x1 - burst_x0, burst_y1 - burst_y0);
                last_right = c;
                found = 1;
            } else if (o == RESULTS) {
                found = 1;
                ended = 1;
                printf("results_after_us=%.0f\n", latency);
            } else if (o == WRONG) {
                hunted_wrong++;
                /* Nothing may be drawn for a wrong key. */
                double d = last_drill_damage;
                pump_until(now_us() + 1000, NULL);
                if (last_drill_damage != d)
                    hunted_wrong_damaged++;
            } else {
                silent++;
            }
        }
        if (!found) {
            fprintf(stderr, "xprobe: no key answered question %d\n", q);
            ok = 0;
            break;
        }
    }

    if (right > 0) {
        qsort(latencies, (size_t)right, sizeof(double), compare_doubles);
        printf("keys_right=%ld\nkeys_hunted_wrong=%ld\nkeys_hunted_wrong_damaged=%ld\nkeys_silent=%ld\n", right,
               hunted_wrong, hunted_wrong_damaged, silent);
        printf("key_median_us=%.0f\nkey_p95_us=%.0f\nkey_max_us=%.0f\n", latencies[right / 2],
               latencies[(long)(0.95 * (right - 1))], latencies[right - 1]);
        printf("key_area_mean_px=%.0f\nkey_area_max_px=%ld\n", (double)area_sum / right, area_max);
    }

    if (wrong_presses > 0 && !ended) {
        KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(wrong_key));
        long damaged = 0, rang = 0;
        double *bell_times = calloc((size_t)wrong_presses, sizeof(double));
        for (int i = 0; i < wrong_presses; i++) {
            wait_quiet(quiet_ms, 2000);
            long before_bells = bells;
            double before_damage = last_drill_damage;
            double start = now_us();
            press(code, 1);
            pump_until(start + wrong_wait_ms * 1000, NULL);
            if (bells > before_bells)
                bell_times[rang++] = last_bell - start;
            if (last_drill_damage != before_damage)
                damaged++;
            press(code, 0);
        }
        qsort(bell_times, (size_t)rang, sizeof(double), compare_doubles);
        printf("wrong_sent=%d\nwrong_bells=%ld\nwrong_damaged=%ld\n", wrong_presses, rang, damaged);
        if (rang > 0)
            printf("wrong_bell_median_us=%.0f\n", bell_times[rang / 2]);
        free(bell_times);
    }

    if (have_results_title && questions > 0) {
        if (!ended || !pump_until(now_us() + 10e6, have_results_paint)) {
            fprintf(stderr, "xprobe: no results window\n");
            ok = 0;
        } else {
            struct tracked *r = find_window(results_window);
            /* Quiet for a while: the modal window is up and idle. */
            double give_up = now_us() + 10e6;
            while (now_us() < give_up) {
                double last = r->last_damage > last_drill_damage ? r->last_damage : last_drill_damage;
                if (now_us() - last > settle_ms * 1000)
                    break;
                pump_until(last + settle_ms * 1000, NULL);
            }
        }
    }
    if (questions > 0 || have_results_title)
        printf("end_hwm_kib=%ld\nend_rss_kib=%ld\n", status_kib("VmHWM"), status_kib("VmRSS"));

    if (per_key)
        fclose(per_key);
    free(latencies);
    stop_child();
    restore_repeat();
    XCloseDisplay(dpy);
    return ok ? 0 : 1;
}
